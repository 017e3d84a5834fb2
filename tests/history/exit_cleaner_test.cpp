// Exit cleaning: what goes (rows, the engines' stores, files) and what stays
// (folders, dot files, all of it when the user did not ask).
#include "history/exit_cleaner.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "history/i_engine_data.h"
#include "settings/settings_registry.h"
#include "store/history_records.h"
#include "store/info_records.h"
#include "store/search_records.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// Counts what the engines were asked to clear.
struct CountingEngines : IEngineData {
  void ClearCookies() override { ++cookies; }
  void ClearCache() override { ++cache; }
  void ClearVisitedLinks() override { ++links; }
  void ClearCredentials() override { ++credentials; }
  int cookies = 0;
  int cache = 0;
  int links = 0;
  int credentials = 0;
};

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

  // Both steps, as the browser's end runs them.
  bool Clean() {
    const ExitCleaner cleaner(database_, &engines_);
    const bool whileRunning = cleaner.CleanWhileEnginesRun();
    const bool afterwards = cleaner.EmptyFoldersAfterEngines();
    EXPECT_EQ(whileRunning, afterwards);
    return whileRunning;
  }

  test::TempDir dir_;
  UserDatabase database_;
  CountingEngines engines_;
};

TEST_F(ExitCleanerTest, WhenAskedEmptiesRowsAndFilesButKeepsFoldersAndDotFiles) {
  ASSERT_EQ(InfoRecords(database_).SetExitClean(true), 0);
  EXPECT_TRUE(Clean());
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
  EXPECT_EQ(engines_.cookies, 1);
  EXPECT_EQ(engines_.cache, 1);
  EXPECT_EQ(engines_.links, 1);
  EXPECT_EQ(engines_.credentials, 1);
}

TEST_F(ExitCleanerTest, WhenNotAskedNothingChanges) {
  ASSERT_EQ(InfoRecords(database_).SetExitClean(false), 0);
  EXPECT_FALSE(Clean());
  EXPECT_EQ(Rows("searchtext"), 1);
  EXPECT_EQ(Rows("history"), 1);
  for (const auto& [key, folder] : Folders()) {
    EXPECT_TRUE(fs::exists(dir_.path() / folder / "data.bin")) << folder;
  }
  EXPECT_EQ(engines_.cookies + engines_.cache + engines_.links + engines_.credentials, 0);
}

TEST_F(ExitCleanerTest, UnsetFolderKeysAreNeverTakenForTheWorkingFolder) {
  ASSERT_EQ(InfoRecords(database_).SetExitClean(true), 0);
  SettingsRegistry::Instance().ClearForTesting();
  const fs::path previous = fs::current_path();
  fs::current_path(dir_.path() / "Cookie");
  EXPECT_TRUE(Clean());
  fs::current_path(previous);
  EXPECT_TRUE(fs::exists(dir_.path() / "Cookie" / "data.bin"));
}

}  // namespace
}  // namespace tarvo
