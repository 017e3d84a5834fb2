// What each option of the clear-data window clears (the order of a clearing is shown
// by the window's own test).
#include "history/browsing_data_cleaner.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "downloads/download_manager.h"
#include "downloads/i_download_prompts.h"
#include "history/i_engine_data.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/history_records.h"
#include "store/search_records.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

struct CountingEngines : IEngineData {
  void ClearCookies() override { calls += "cookies "; }
  void ClearCache() override { calls += "cache "; }
  void ClearVisitedLinks() override { calls += "links "; }
  std::string calls;
};

class BrowsingDataCleanerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRegistry& settings = SettingsRegistry::Instance();
    settings.Set(SettingsKeys::kPictureFolder, Utf8ToWide((Root() / "Picture").string() + "/"));
    settings.Set(SettingsKeys::kCookieFolder, Utf8ToWide((Root() / "Cookie").string() + "/"));
    cleaner_.SetEngines(&engines_);
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
  BrowsingDataCleaner cleaner_{store_.db(), downloads_};
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
  struct Always : IDownloadPrompts {
    explicit Always(WString path) : path_(std::move(path)) {}
    bool ConfirmReplace(const DownloadRecord&) override { return true; }
    void TellAlreadyDownloading(const DownloadRecord&) override {}
    WString ChooseTarget(const WString&) override { return path_; }
    WString path_;
  };
  Always cancelled(Utf8ToWide((Root() / "cancelled.bin").string()));
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
  BrowsingDataCleaner(store_.db(), downloads_).EmptyPendingSiteData();
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
