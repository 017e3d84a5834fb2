#include <gtest/gtest.h>

#include "service/attempt_limiter.h"
#include "service/service_database.h"
#include "support/temp_dir.h"

namespace tarvo::service::test {
namespace {

TEST(AttemptLimiter, AFullTableForgetsItsOldestWindowsNotTheCurrentLocks) {
  constexpr size_t kMaxKeys = 50;
  tarvo::test::TempDir dir;
  ServiceDatabase database((dir.path() / "service.db").string(), 1);
  const AttemptLimiter limiter("test", 1, 60, kMaxKeys);
  database.Write([&](DatabaseConnection& db) {
    limiter.Count(db, "before", 0);
    limiter.Count(db, "guesser", 1);
    // Fresh keys from many addresses fill the table and push one past it.
    for (size_t i = 0; i + 1 < kMaxKeys; ++i) limiter.Count(db, "address " + std::to_string(i), 2);
    EXPECT_TRUE(limiter.Allows(db, "before", 3));
    EXPECT_FALSE(limiter.Allows(db, "guesser", 3));
    EXPECT_FALSE(limiter.Allows(db, "address 0", 3));
  });
}

}  // namespace
}  // namespace tarvo::service::test
