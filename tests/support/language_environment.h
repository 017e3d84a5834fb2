#pragma once
// A test program's language: the packs of one folder, one language chosen, and the
// choice kept in a temporary configuration folder, never the user's own. Register
// it with ::testing::AddGlobalTestEnvironment.
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo::test {

class LanguageEnvironment : public ::testing::Environment {
 public:
  // `variable` names the environment variable holding the folder the packs are
  // below (TARVO_TEST_DATA, TARVO_SOURCE_DIR); `folder` is the rest of the path.
  LanguageEnvironment(std::string variable, std::string folder, std::u16string language)
      : variable_(std::move(variable)), folder_(std::move(folder)), language_(std::move(language)) {}

  void SetUp() override;
  void TearDown() override;

 private:
  std::string variable_;
  std::string folder_;
  std::u16string language_;
  std::unique_ptr<TempDir> config_;
  std::unique_ptr<ScopedEnv> env_;
};

}  // namespace tarvo::test
