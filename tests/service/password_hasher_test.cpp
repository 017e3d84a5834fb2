#include "service/password_hasher.h"

#include <gtest/gtest.h>

namespace tarvo::service {
namespace {

TEST(PasswordHasher, RecordsAreSaltedAndVerifyAcrossIterationCounts) {
  const PasswordHasher hasher(1000);
  const std::string first = hasher.MakeRecord("pässword&=");
  const std::string second = hasher.MakeRecord("pässword&=");
  EXPECT_NE(first, second) << "fresh salt each time";
  EXPECT_EQ(first.rfind("pbkdf2-sha256$1000$", 0), 0u);
  EXPECT_EQ(first.find("pässword"), std::string::npos);
  EXPECT_TRUE(hasher.Verify("pässword&=", first));
  EXPECT_FALSE(hasher.Verify("pässword&", first));
  EXPECT_TRUE(PasswordHasher(5000).Verify("pässword&=", second));
}

TEST(PasswordHasher, MalformedRecordsNeverVerify) {
  const PasswordHasher hasher(1000);
  for (const char* record : {"", "plain", "pbkdf2-sha256$x$aa$bb", "pbkdf2-sha256$0$aa$bb", "md5$1000$aa$bb",
                             "pbkdf2-sha256$1000$aa$"}) {
    EXPECT_FALSE(hasher.Verify("", record)) << record;
  }
}

}  // namespace
}  // namespace tarvo::service
