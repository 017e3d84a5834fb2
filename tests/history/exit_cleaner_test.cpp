// What each clearing option and the exit cleaning remove, and what stays (keeping it
// all when the user did not ask is run end to end, across a restart).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "downloads/download_manager.h"
#include "downloads/save_as_prompts.h"
#include "history/browsing_data_cleaner.h"
#include "history/exit_cleaner.h"
#include "history/i_engine_data.h"
#include "passwords/password_keeper.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/history_records.h"
#include "store/info_records.h"
#include "store/search_records.h"
#include "store/test_database.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// Records, in order, what the engines were asked to clear.
struct CountingEngines : IEngineData {
  void ClearCookies() override { calls += "cookies "; }
  void ClearCache() override { calls += "cache "; }
  void ClearVisitedLinks() override { calls += "links "; }
  std::string calls;
};

// Counts how often everything was removed; every other call answers done.
struct CountingKeyring : IPasswordKeyring {
  explicit CountingKeyring(int& removals) : removals(removals) {}
  KeyringResult Store(const SavedLogin&) override { return KeyringResult::kDone; }
  KeyringResult Find(const WString&, std::vector<SavedLogin>&) override { return KeyringResult::kDone; }
  KeyringResult List(std::vector<SavedLogin>&, std::vector<WString>&) override { return KeyringResult::kDone; }
  KeyringResult Reveal(const WString&, const WString&, WString&) override { return KeyringResult::kDone; }
  KeyringResult Remove(const WString&, const WString&) override { return KeyringResult::kDone; }
  KeyringResult MarkNever(const WString&) override { return KeyringResult::kDone; }
  KeyringResult IsNever(const WString&, bool&) override { return KeyringResult::kDone; }
  KeyringResult UnmarkNever(const WString&) override { return KeyringResult::kDone; }
  KeyringResult RemoveAll() override {
    ++removals;
    return KeyringResult::kDone;
  }
  int& removals;
};

class ExitCleanerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(database_.OpenFile((dir_.path() / "kx.dat").string()), 0);
    ASSERT_EQ(database_.Upgrade(), 0);
    // As a library built without secure deletion leaves deleted rows in the file.
    ASSERT_EQ(database_.Execute("PRAGMA secure_delete=OFF;"), 0);
    SettingsRegistry& settings = SettingsRegistry::Instance();
    settings.Set(u"appdata/path", Utf8ToWide(dir_.path().string() + "/"));
    for (const char* session : {"session.json", "session.json.bad"}) dir_.WriteFile(session, kVisited);
    for (const auto& [key, folder] : Folders()) {
      settings.Set(key, Utf8ToWide((dir_.path() / folder).string() + "/"));
      dir_.WriteFile(fs::path(folder) / "data.bin", "x");
      dir_.WriteFile(fs::path(folder) / "sub" / "nested.bin", "x");
      dir_.WriteFile(fs::path(folder) / ".keep", "x");
    }
    ASSERT_EQ(SearchRecords(database_).AddSearchText(u"it's \"quoted\""), 0);
    PageUrl page{Utf8ToWide(kVisited), Utf8ToWide(kVisited), false, 0};
    ASSERT_EQ(HistoryRecords(database_).AddHistory(page), 0);
    // A visit the user deleted earlier in the run.
    PageUrl deleted{u"http://deleted.example.test/", u"http://deleted.example.test/", false, 0};
    ASSERT_EQ(HistoryRecords(database_).AddHistory(deleted), 0);
    ASSERT_EQ(HistoryRecords(database_).DeleteVisit(deleted.historyId), 0);
  }
  void TearDown() override { SettingsRegistry::Instance().ClearForTesting(); }

  static std::vector<std::pair<WString, std::string>> Folders() {
    return {{u"appdata/cookie", "Cookie"}, {u"appdata/cache", "Cache"}, {u"appdata/log", "Log"},
            {u"appdata/picture", "Picture"}};
  }
  int Rows(const char* table) { return database_.Query(std::string("select * from ") + table); }
  // Whether the database's files still hold `text` anywhere, free pages included.
  bool DatabaseHolds(const std::string& text) {
    for (const char* name : {"kx.dat", "kx.dat-wal"}) {
      std::ifstream file(dir_.path() / name, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
      if (bytes.find(text) != std::string::npos) return true;
    }
    return false;
  }

  static constexpr const char* kVisited = "http://visited.example.test/";

  // Both steps, as the browser's end runs them.
  bool Clean() {
    const ExitCleaner cleaner(database_, &engines_, &passwords_);
    const bool whileRunning = cleaner.CleanWhileEnginesRun();
    const bool afterwards = cleaner.EmptyFoldersAfterEngines();
    EXPECT_EQ(whileRunning, afterwards);
    return whileRunning;
  }

  test::TempDir dir_;
  UserDatabase database_;
  CountingEngines engines_;
  int passwordRemovals_ = 0;
  PasswordKeeper passwords_{std::make_unique<CountingKeyring>(passwordRemovals_)};
};

TEST_F(ExitCleanerTest, WhenAskedEmptiesRowsAndFilesButKeepsFoldersAndDotFiles) {
  ASSERT_EQ(InfoRecords(database_).SetExitClean(true), 0);
  ASSERT_TRUE(DatabaseHolds("deleted.example.test"));
  EXPECT_TRUE(Clean());
  EXPECT_EQ(Rows("searchtext"), 0);
  EXPECT_EQ(Rows("history"), 0);
  // Written back at the browser's end: no page of the file keeps a visit.
  ASSERT_EQ(database_.WriteBackLog(), 0);
  EXPECT_FALSE(DatabaseHolds("visited.example.test"));
  EXPECT_FALSE(DatabaseHolds("deleted.example.test"));
  EXPECT_FALSE(fs::exists(dir_.path() / "session.json"));
  EXPECT_FALSE(fs::exists(dir_.path() / "session.json.bad"));
  for (const auto& [key, folder] : Folders()) {
    EXPECT_FALSE(fs::exists(dir_.path() / folder / "data.bin")) << folder;
    EXPECT_FALSE(fs::exists(dir_.path() / folder / "sub" / "nested.bin")) << folder;
    EXPECT_TRUE(fs::is_directory(dir_.path() / folder / "sub")) << folder;
    EXPECT_TRUE(fs::exists(dir_.path() / folder / ".keep")) << folder;
  }
  // The database itself is not in those folders and stays.
  EXPECT_TRUE(fs::exists(dir_.path() / "kx.dat"));
  // The cache goes with its folder once the engines stopped, never through a
  // stopping engine.
  EXPECT_EQ(engines_.calls, "cookies links ");
  EXPECT_EQ(passwordRemovals_, 1) << "the saved passwords go too, before the browser ends";
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

class BrowsingDataCleanerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRegistry& settings = SettingsRegistry::Instance();
    settings.Set(SettingsKeys::kPictureFolder, Utf8ToWide((Root() / "Picture").string() + "/"));
    settings.Set(SettingsKeys::kCookieFolder, Utf8ToWide((Root() / "Cookie").string() + "/"));
    cleaner_.SetEngines(&engines_);
    cleaner_.SetDownloads(&downloads_);
  }
  void TearDown() override { SettingsRegistry::Instance().ClearForTesting(); }
  fs::path Root() const { return store_.folder().path(); }
  std::string Calls(ClearOption option) {
    engines_.calls.clear();
    cleaner_.Clear(option);
    return engines_.calls;
  }

  test::TestDatabase store_;
  DownloadManager downloads_{store_.db()};
  BrowsingDataCleaner cleaner_{store_.db()};
  CountingEngines engines_;
};

TEST_F(BrowsingDataCleanerTest, EachOptionClearsItsOwnData) {
  PageUrl page{u"http://example.test/", u"http://example.test/", false, 0};
  HistoryRecords(store_.db()).AddHistory(page);
  SearchRecords(store_.db()).AddSearchText(u"needle");
  EXPECT_EQ(Calls(ClearOption::kRecords), "links ");
  EXPECT_EQ(store_.Scalar("select count(*) from history") + store_.Scalar("select count(*) from searchtext"), "00");

  const fs::path icon = store_.folder().WriteFile("Picture/0123abcd", "icon");
  const fs::path leftover = store_.folder().WriteFile("cancelled.bin.tmp", "part");
  const fs::path kept = store_.folder().WriteFile("kept.bin", "whole");
  test::SaveAs cancelled(Utf8ToWide((Root() / "cancelled.bin").string()));
  downloads_.BeginDownload(1, u"http://a.test/1", u"", cancelled, nullptr);
  downloads_.RequestCancel(1);
  EXPECT_EQ(Calls(ClearOption::kFiles), "");
  EXPECT_FALSE(fs::exists(icon));
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_TRUE(fs::exists(kept));

  EXPECT_EQ(Calls(ClearOption::kPasswords), "cache ");
  EXPECT_EQ(Calls(ClearOption::kForms), "cache ");

  // Cookies go through the engines now; the engine's open site data waits for a
  // time the engine is not running, and the cookie stores themselves stay.
  const fs::path cookies = store_.folder().WriteFile("Cookie/Cookies", "db");
  const fs::path storage = store_.folder().WriteFile("Cookie/Local Storage/leveldb/000003.log", "site");
  EXPECT_EQ(Calls(ClearOption::kCookies), "cookies ");
  EXPECT_TRUE(fs::exists(storage));
  BrowsingDataCleaner(store_.db()).EmptyPendingSiteData();
  EXPECT_FALSE(fs::exists(storage));
  EXPECT_TRUE(fs::is_directory(storage.parent_path()));
  EXPECT_TRUE(fs::exists(cookies));
  // Done once: site data stored later stays.
  store_.folder().WriteFile("Cookie/Local Storage/leveldb/000004.log", "later");
  cleaner_.EmptyPendingSiteData();
  EXPECT_TRUE(fs::exists(Root() / "Cookie/Local Storage/leveldb/000004.log"));
}

}  // namespace
}  // namespace tarvo
