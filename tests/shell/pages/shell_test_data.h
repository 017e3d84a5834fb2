#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "platform/text.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
class UserDatabase;
}

namespace tarvo::test {

// A temporary data and configuration root holding the user database, with the
// settings, the message bus and the plain test skin set up the way the shell's page
// and window test programs share them. Main thread only; one per program, set up
// before the first window and kept for the program's life.
class ShellTestData {
 public:
  // Points the data and configuration folders at the temporary root, opens the
  // database there and fills the settings; `newPage` and `homePage` are the
  // settings of those names. Missing tab pictures of the test skin go unreported.
  ::testing::AssertionResult SetUp(WStringView newPage = u"about:blank", WStringView homePage = u"about:blank");
  const TempDir& root() const { return root_; }
  // The program's user database, opened by SetUp and never destroyed (the process's
  // router reads it).
  static UserDatabase& Database();

 private:
  TempDir root_;
  std::optional<ScopedEnv> dataEnv_;
  std::optional<ScopedEnv> configEnv_;
};

}  // namespace tarvo::test
