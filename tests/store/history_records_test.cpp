#include "store/history_records.h"

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

using test::AwkwardTexts;
using test::TestDatabase;

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

}  // namespace
}  // namespace tarvo
