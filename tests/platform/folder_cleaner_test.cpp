#include "platform/folder_cleaner.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

TEST(FolderCleanerTest, DeletesFilesRecursivelyButKeepsFoldersAndDotEntries) {
  test::TempDir dir;
  const fs::path root = dir.path() / "Cookie";
  dir.WriteFile("Cookie/Cookies", "a");
  dir.WriteFile("Cookie/sub/deeper/file.bin", "b");
  dir.WriteFile("Cookie/.keep", "c");
  dir.WriteFile("Cookie/.hidden/inside", "d");
  dir.WriteFile("Cookie/name with spaces \xE4\xB8\xAD", "e");
  fs::create_directories(root / "empty");

  DeleteFolderFiles(root.string());

  EXPECT_TRUE(fs::is_directory(root / "sub" / "deeper"));
  EXPECT_TRUE(fs::is_directory(root / "empty"));
  EXPECT_FALSE(fs::exists(root / "Cookies"));
  EXPECT_FALSE(fs::exists(root / "sub" / "deeper" / "file.bin"));
  EXPECT_FALSE(fs::exists(root / "name with spaces \xE4\xB8\xAD"));
  EXPECT_TRUE(fs::exists(root / ".keep"));
  EXPECT_TRUE(fs::exists(root / ".hidden" / "inside"));
}

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
