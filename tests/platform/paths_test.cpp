#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/folder_cleaner.h"
#include "platform/paths.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

using test::ScopedEnv;

TEST(PathsTest, DataAndConfigRootsFollowXdgVariablesOrFallBackToHome) {
  {
    ScopedEnv data("XDG_DATA_HOME", "/srv/data");
    ScopedEnv config("XDG_CONFIG_HOME", "/srv/config/");
    EXPECT_EQ(DataRoot(), "/srv/data/TarvoBrowser/");
    EXPECT_EQ(ConfigRoot(), "/srv/config/TarvoBrowser/");
  }
  // Unset or relative.
  ScopedEnv home("HOME", "/home/someone");
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  ScopedEnv config("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(DataRoot(), "/home/someone/.local/share/TarvoBrowser/");
  EXPECT_EQ(ConfigRoot(), "/home/someone/.config/TarvoBrowser/");
}

TEST(PathsTest, MissingFoldersAreMadePrivateAndExistingOnesKeepTheirModes) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const fs::path existing = dir.path() / "existing";
  fs::create_directory(existing);
  fs::permissions(existing, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  const fs::path deep = existing / "a" / "b" / "TarvoBrowser";
  ASSERT_TRUE(CreatePrivateFolders(deep.string() + "/"));
  ASSERT_TRUE(CreatePrivateFolders(deep.string()));  // again: nothing to do
  for (const fs::path& folder : {existing / "a", existing / "a" / "b", deep}) {
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all) << folder;
  }
  EXPECT_EQ(fs::status(existing).permissions() & fs::perms::all,
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  // A file in the way is not a folder.
  std::ofstream(dir.path() / "file") << "x";
  EXPECT_FALSE(CreatePrivateFolders((dir.path() / "file" / "below").string()));
  EXPECT_FALSE(CreatePrivateFolders(""));
}

namespace fs = std::filesystem;

// What goes and what stays of a folder's files (nested ones, dot entries) is checked
// through exit cleaning, which empties four folders.
TEST(FolderCleanerTest, LinksAreRemovedNotFollowedAndAMissingFolderIsLeftAlone) {
  test::TempDir dir;
  const auto outside = dir.WriteFile("outside/precious", "keep me");
  fs::create_directories(dir.path() / "Cache");
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "Cache" / "link");
  DeleteFolderFiles((dir.path() / "Cache").string());
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_FALSE(fs::exists(dir.path() / "Cache" / "link"));
  // A missing folder, or none named, is left alone.
  DeleteFolderFiles((dir.path() / "missing").string());
  DeleteFolderFiles("");
  EXPECT_TRUE(fs::exists(dir.path()));
}

}  // namespace
}  // namespace tarvo
