// The record accessors over one upgraded user database each.
#include <gtest/gtest.h>
#include <set>
#include <span>
#include <string>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/domain_type_records.h"
#include "store/download_records.h"
#include "store/history_records.h"
#include "store/info_records.h"
#include "store/search_records.h"
#include "store/seed_hosts.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

using test::AwkwardTexts;
using test::TestDatabase;

TEST(InfoRecords, GetReportsMissingKeysSetInsertsThenUpdatesAndTheExitFlagReadsOffUnlessSet) {
  TestDatabase store;
  InfoRecords info(store.db());
  WString value = u"stale";
  EXPECT_EQ(info.GetInfo(u"favor_data", value), -2);
  EXPECT_EQ(value, u"");
  EXPECT_EQ(info.SetInfo(u"favor_data", u"first"), 0);
  EXPECT_EQ(info.SetInfo(u"favor_data", u"second"), 0);
  EXPECT_EQ(info.GetInfo(u"favor_data", value), 0);
  EXPECT_EQ(value, u"second");
  EXPECT_EQ(store.Scalar("select count(*) from info where key='favor_data'"), "1");

  EXPECT_FALSE(info.GetExitClean());
  EXPECT_EQ(info.SetExitClean(true), 0);
  EXPECT_TRUE(info.GetExitClean());
  EXPECT_EQ(info.SetExitClean(false), 0);
  EXPECT_FALSE(info.GetExitClean());
  // A value that is not a number reads as off; a missing row too.
  store.db().Execute("update info set value='yes' where key='exit_clean'");
  EXPECT_FALSE(info.GetExitClean());
  store.db().Execute("delete from info where key='exit_clean'");
  EXPECT_FALSE(info.GetExitClean());
}

TEST(SearchRecords, ChosenEngineGivesIconAndSearchUrlAndAnUnknownOneEmptyTexts) {
  TestDatabase store;
  SearchRecords search(store.db());
  EXPECT_EQ(search.GetSearchEngineIcon(), u"Toolbar\\baidu_22px.png");
  EXPECT_EQ(search.BuildSearchUrl(u"tarvo"), u"https://www.baidu.com/s?wd=tarvo");
  EXPECT_EQ(search.SetSearchEngine(u"google"), 0);
  EXPECT_EQ(search.GetSearchEngineIcon(), u"Toolbar\\google_22px.png");
  // The query is inserted as given: the caller prepares it.
  EXPECT_EQ(search.BuildSearchUrl(u"a b&c"), u"https://www.google.com/search?&q=a b&c");

  EXPECT_EQ(search.SetSearchEngine(u"x' or name='baidu"), 0);
  EXPECT_EQ(search.GetSearchEngineIcon(), u"");
  EXPECT_EQ(search.BuildSearchUrl(u"q"), u"");
}

TEST(SearchRecords, TextTypedTwiceKeepsItsFirstTimestampsAwkwardTextsAreExactAndClearRemovesThem) {
  TestDatabase store;
  SearchRecords search(store.db());
  EXPECT_EQ(search.AddSearchText(u"weather"), 0);
  store.db().Execute("update searchtext set created_at=1, updated_at=2");
  EXPECT_EQ(search.AddSearchText(u"weather"), -1);
  EXPECT_EQ(store.Scalar("select created_at || ',' || updated_at from searchtext"), "1,2");

  const auto texts = AwkwardTexts();
  for (const WString& text : texts) {
    EXPECT_EQ(search.AddSearchText(text), 0) << WideToUtf8(text);
    EXPECT_EQ(store.db().Query("select 1 from searchtext where searchtext=?", {text}), 1);
  }
  EXPECT_EQ(search.ClearSearchTexts(), 0);
  EXPECT_EQ(store.Scalar("select count(*) from searchtext"), "0");
}

class HistoryRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override { SettingsRegistry::Instance().Set(SettingsKeys::kNewPage, u"file:///opt/tarvo/home.html"); }

  TestDatabase store_;
  HistoryRecords history_{store_.db()};
};

TEST_F(HistoryRecordsTest, RecordsShownAndLoadedAddressWithMappedFlag) {
  for (const WString& text : AwkwardTexts()) {
    PageUrl page{u"http://example.com/?q=" + text, text, true, 0};
    ASSERT_EQ(history_.AddHistory(page), 0);
    QueryTable row;
    ASSERT_EQ(store_.db().Query("select url, realurl, is_map from history where id=?", {page.historyId}, &row), 1);
    EXPECT_EQ(Utf8ToWide(row.Text(0, 0)), page.url);
    EXPECT_EQ(Utf8ToWide(row.Text(0, 1)), text);
    EXPECT_EQ(row.Text(0, 2), "1");
  }
  // Clearing starts the ids again at one.
  EXPECT_EQ(history_.ClearHistory(), 0);
  PageUrl page{u"http://example.org/", u"http://example.org/", false, 0};
  ASSERT_EQ(history_.AddHistory(page), 0);
  EXPECT_EQ(page.historyId, 1);
}

TEST_F(HistoryRecordsTest, StartPageIsNotRecorded) {
  for (const char16_t* url : {u"file:///opt/tarvo/home.html", u"file:///opt/tarvo/home.html?sp=https%3A%2F%2Fx.test%2F"}) {
    PageUrl page{url, url, false, 42};
    EXPECT_EQ(history_.AddHistory(page), 0);
    EXPECT_EQ(page.historyId, 42);
  }
  EXPECT_EQ(store_.Scalar("select count(*) from history"), "0");
}

TEST_F(HistoryRecordsTest, VisitsAreListedNewestFirstFoundByAddressOrTitleAndDeleted) {
  const struct {
    const char16_t* url;
    const char16_t* title;
    int64_t at;
  } rows[] = {{u"http://a.test/100%_off", u"Sale", 1000},
              {u"http://b.test/", u"News 'today'", 2000},
              {u"http://c.test/x", u"", 3000},
              {u"http://d.test/", u"Weather", 90000}};
  for (const auto& row : rows) {
    PageUrl page{row.url, row.url, false, 0};
    ASSERT_EQ(history_.AddHistory(page), 0);
    ASSERT_EQ(history_.SetTitle(page.historyId, row.title), 0);
    store_.db().Execute("update history set created_at=? where id=?", {row.at, page.historyId});
  }
  auto urls = [&](WStringView search, int limit = 10) {
    std::vector<WString> found;
    for (const HistoryVisit& visit : history_.ListVisits(search, limit)) found.push_back(visit.url);
    return found;
  };
  EXPECT_EQ(urls(u""), (std::vector<WString>{u"http://d.test/", u"http://c.test/x", u"http://b.test/",
                                             u"http://a.test/100%_off"}));
  EXPECT_EQ(urls(u"", 2).size(), 2U);
  EXPECT_EQ(urls(u"TODAY"), std::vector<WString>{u"http://b.test/"}) << "titles, any case";
  // "%" and "_" are the user's text, not wildcards.
  EXPECT_EQ(urls(u"0%_"), std::vector<WString>{u"http://a.test/100%_off"});
  EXPECT_TRUE(urls(u"c%x").empty());
  EXPECT_EQ(history_.ListVisits(u"weather", 10).at(0).visitedAt, 90000);

  ASSERT_EQ(history_.DeleteVisit(history_.ListVisits(u"c.test", 1).at(0).id), 0);
  ASSERT_EQ(history_.DeleteVisitsBetween(1000, 2001), 0);
  EXPECT_EQ(urls(u""), std::vector<WString>{u"http://d.test/"});
}

TEST_F(HistoryRecordsTest, FailedInsertReportsMinusOne) {
  store_.db().Execute("drop table history");
  PageUrl page{u"http://example.com/", u"http://example.com/", false, 7};
  EXPECT_EQ(history_.AddHistory(page), -1);
  EXPECT_EQ(page.historyId, 7);
  EXPECT_EQ(history_.ClearHistory(), -1);
}

TEST(DomainTypeRecords, SeededBankHostsAreTypeTwoAndOthersTypeOne) {
  TestDatabase store;
  DomainTypeRecords types(store.db());
  EXPECT_EQ(types.GetDomainType(u"www.icbc.com.cn"), 2);
  EXPECT_EQ(types.GetDomainType(u"cc.cmbchina.com"), 2);
  EXPECT_EQ(types.GetDomainType(u"ipcrs.pbccrc.org.cn"), 2);
  EXPECT_EQ(types.GetDomainType(u"www.example.com"), 1);
  EXPECT_EQ(types.GetDomainType(u""), 1);
  // Exact host only: neither a parent domain nor a different case matches.
  EXPECT_EQ(types.GetDomainType(u"icbc.com.cn.evil.example"), 1);
  EXPECT_EQ(types.GetDomainType(u"WWW.ICBC.COM.CN"), 1);
  EXPECT_EQ(types.GetDomainType(u"' or '1'='1"), 1);
  store.db().Execute("drop table domain_type");
  EXPECT_EQ(types.GetDomainType(u"www.icbc.com.cn"), 1);
}

TEST(DomainTypeRecords, SeedListsAreDistinctLowerCaseHostNames) {
  std::set<std::string_view> all;
  for (const auto& list : {std::span<const std::string_view>(kLargeBankHosts),
                           std::span<const std::string_view>(kMerchantsBankHosts),
                           std::span<const std::string_view>(kBankServiceHosts)}) {
    for (const std::string_view host : list) {
      EXPECT_TRUE(all.insert(host).second) << host;
      EXPECT_EQ(host.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.-"), std::string_view::npos) << host;
      EXPECT_NE(host.find('.'), std::string_view::npos) << host;
    }
  }
  EXPECT_EQ(all.size(), 361u);
  EXPECT_FALSE(all.contains(kRetiredTestHost));
}

DownloadRow Row(const WString& url, int64_t received, int status) {
  return DownloadRow{url, u"/home/u/Downloads/" + url.substr(url.rfind(u'/') + 1), u"file", received, 5'000'000'000,
                     status, 0};
}

TEST(DownloadRecords, SavingTwiceKeepsOneRowWithTheSecondValues) {
  TestDatabase store;
  DownloadRecords downloads(store.db());
  ASSERT_EQ(downloads.SaveDownload(Row(u"http://example.com/a.iso", 10, 1)), 0);
  // Sizes past 2^31 survive; the row keeps its creation time.
  ASSERT_EQ(downloads.SaveDownload(Row(u"http://example.com/a.iso", 4'294'967'296 + 7, 3)), 0);
  std::vector<DownloadRow> rows;
  ASSERT_EQ(downloads.ListDownloads(rows), 1);
  EXPECT_EQ(rows[0].filePath, u"/home/u/Downloads/a.iso");
  EXPECT_EQ(rows[0].received, 4'294'967'303);
  EXPECT_EQ(rows[0].status, 3);
}

TEST(DownloadRecords, ListIsNewestFirstAnEmptyUrlIsRefusedAndDeleteRemovesTheRow) {
  TestDatabase store;
  DownloadRecords downloads(store.db());
  for (const char16_t* url : {u"http://e.com/1", u"http://e.com/2", u"http://e.com/3"}) {
    downloads.SaveDownload(Row(url, 0, 0));
  }
  // An old row written without created_at sorts after the dated ones.
  store.db().Execute("insert into download (fileurl, status) values ('http://e.com/old', 2)");
  std::vector<DownloadRow> rows;
  ASSERT_EQ(downloads.ListDownloads(rows), 4);
  EXPECT_EQ(rows[0].fileUrl, u"http://e.com/3");
  EXPECT_EQ(rows[1].fileUrl, u"http://e.com/2");
  EXPECT_EQ(rows[2].fileUrl, u"http://e.com/1");
  EXPECT_EQ(rows[3].fileUrl, u"http://e.com/old");
  EXPECT_EQ(rows[3].orderKey, 0x7FFFFFFF - 3);

  EXPECT_EQ(downloads.SaveDownload(Row(u"", 0, 0)), -1);
  EXPECT_EQ(downloads.DeleteDownload(Row(u"", 0, 0)), -1);
  downloads.SaveDownload(Row(u"http://e.com/x", 0, 0));
  EXPECT_EQ(downloads.DeleteDownload(Row(u"http://e.com/x", 0, 0)), 0);
  EXPECT_EQ(downloads.ListDownloads(rows), 4);
  store.db().Execute("drop table download");
  EXPECT_EQ(downloads.ListDownloads(rows), 0);
  EXPECT_EQ(downloads.SaveDownload(Row(u"http://e.com/x", 0, 0)), -1);
}

}  // namespace
}  // namespace tarvo
