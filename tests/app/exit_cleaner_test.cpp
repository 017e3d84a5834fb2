// Exit cleaning: what goes (rows, files) and what stays (folders, dot files, all of
// it when the user did not ask).
#include "app/exit_cleaner.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "settings/settings_registry.h"
#include "store/history_records.h"
#include "store/info_records.h"
#include "store/search_records.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class ExitCleanerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(database_.OpenFile((dir_.path() / "kx.dat").string()), 0);
    ASSERT_EQ(database_.Upgrade(), 0);
    SettingsRegistry& settings = SettingsRegistry::Instance();
    for (const auto& [key, folder] : Folders()) {
      settings.Set(key, Utf8ToWide((dir_.path() / folder).string() + "/"));
      dir_.WriteFile(fs::path(folder) / "data.bin", "x");
      dir_.WriteFile(fs::path(folder) / "sub" / "nested.bin", "x");
      dir_.WriteFile(fs::path(folder) / ".keep", "x");
    }
    ASSERT_EQ(SearchRecords(database_).AddSearchText(u"it's \"quoted\""), 0);
    PageUrl page{u"http://example.test/", u"http://example.test/", false, 0};
    ASSERT_EQ(HistoryRecords(database_).AddHistory(page), 0);
  }
  void TearDown() override { SettingsRegistry::Instance().ClearForTesting(); }

  static std::vector<std::pair<WString, std::string>> Folders() {
    return {{u"appdata/cookie", "Cookie"}, {u"appdata/cache", "Cache"}, {u"appdata/log", "Log"}};
  }
  int Rows(const char* table) { return database_.Query(std::string("select * from ") + table); }

  test::TempDir dir_;
  UserDatabase database_;
};

TEST_F(ExitCleanerTest, WhenAskedEmptiesRowsAndFilesButKeepsFoldersAndDotFiles) {
  ASSERT_EQ(InfoRecords(database_).SetExitClean(true), 0);
  EXPECT_TRUE(ExitCleaner(database_).CleanIfAsked());
  EXPECT_EQ(Rows("searchtext"), 0);
  EXPECT_EQ(Rows("history"), 0);
  for (const auto& [key, folder] : Folders()) {
    EXPECT_FALSE(fs::exists(dir_.path() / folder / "data.bin")) << folder;
    EXPECT_FALSE(fs::exists(dir_.path() / folder / "sub" / "nested.bin")) << folder;
    EXPECT_TRUE(fs::is_directory(dir_.path() / folder / "sub")) << folder;
    EXPECT_TRUE(fs::exists(dir_.path() / folder / ".keep")) << folder;
  }
  // The database itself is not in those folders and stays.
  EXPECT_TRUE(fs::exists(dir_.path() / "kx.dat"));
}

TEST_F(ExitCleanerTest, WhenNotAskedNothingChanges) {
  ASSERT_EQ(InfoRecords(database_).SetExitClean(false), 0);
  EXPECT_FALSE(ExitCleaner(database_).CleanIfAsked());
  EXPECT_EQ(Rows("searchtext"), 1);
  EXPECT_EQ(Rows("history"), 1);
  for (const auto& [key, folder] : Folders()) {
    EXPECT_TRUE(fs::exists(dir_.path() / folder / "data.bin")) << folder;
  }
}

TEST_F(ExitCleanerTest, UnsetFolderKeysAreNeverTakenForTheWorkingFolder) {
  ASSERT_EQ(InfoRecords(database_).SetExitClean(true), 0);
  SettingsRegistry::Instance().ClearForTesting();
  const fs::path previous = fs::current_path();
  fs::current_path(dir_.path() / "Cookie");
  EXPECT_TRUE(ExitCleaner(database_).CleanIfAsked());
  fs::current_path(previous);
  EXPECT_TRUE(fs::exists(dir_.path() / "Cookie" / "data.bin"));
}

}  // namespace
}  // namespace tarvo
