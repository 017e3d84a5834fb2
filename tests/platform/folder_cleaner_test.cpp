#include "platform/folder_cleaner.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// What goes and what stays of a folder's files (nested ones, dot entries) is checked
// through exit cleaning, which empties four folders.
TEST(FolderCleanerTest, LinksAreRemovedNotFollowed) {
  test::TempDir dir;
  const auto outside = dir.WriteFile("outside/precious", "keep me");
  fs::create_directories(dir.path() / "Cache");
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "Cache" / "link");
  DeleteFolderFiles((dir.path() / "Cache").string());
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_FALSE(fs::exists(dir.path() / "Cache" / "link"));
}

TEST(FolderCleanerTest, MissingFolderIsLeftAlone) {
  test::TempDir dir;
  DeleteFolderFiles((dir.path() / "missing").string());
  DeleteFolderFiles("");
  EXPECT_TRUE(fs::exists(dir.path()));
}

}  // namespace
}  // namespace tarvo
