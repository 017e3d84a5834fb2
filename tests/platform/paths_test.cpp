#include "platform/paths.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"

namespace tarvo {
namespace {

using test::ScopedEnv;

TEST(PathsTest, DataAndConfigRootsFollowXdgVariables) {
  ScopedEnv data("XDG_DATA_HOME", "/srv/data");
  ScopedEnv config("XDG_CONFIG_HOME", "/srv/config/");
  EXPECT_EQ(DataRoot(), "/srv/data/TarvoBrowser/");
  EXPECT_EQ(ConfigRoot(), "/srv/config/TarvoBrowser/");
}

TEST(PathsTest, UnsetOrRelativeXdgVariablesFallBackToHome) {
  ScopedEnv home("HOME", "/home/someone");
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  ScopedEnv config("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(DataRoot(), "/home/someone/.local/share/TarvoBrowser/");
  EXPECT_EQ(ConfigRoot(), "/home/someone/.config/TarvoBrowser/");
}

TEST(PathsTest, ExecutableFolderHoldsTheRunningProgram) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(ExecutablePath().rfind(folder, 0), 0u);
  EXPECT_EQ(ExecutablePath().substr(folder.size()), "platform_test");
}

}  // namespace
}  // namespace tarvo
