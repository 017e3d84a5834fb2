#include "store/search_records.h"

#include <gtest/gtest.h>

#include "store/test_database.h"

namespace tarvo {
namespace {

using test::AwkwardTexts;
using test::TestDatabase;

TEST(SearchRecords, ChosenEngineGivesIconAndSearchUrl) {
  TestDatabase store;
  SearchRecords search(store.db());
  EXPECT_EQ(search.GetSearchEngineIcon(), u"Toolbar\\baidu_22px.png");
  EXPECT_EQ(search.BuildSearchUrl(u"tarvo"), u"https://www.baidu.com/s?wd=tarvo");
  EXPECT_EQ(search.SetSearchEngine(u"google"), 0);
  EXPECT_EQ(search.GetSearchEngineIcon(), u"Toolbar\\google_22px.png");
  // The query is inserted as given: the caller prepares it.
  EXPECT_EQ(search.BuildSearchUrl(u"a b&c"), u"https://www.google.com/search?&q=a b&c");
}

TEST(SearchRecords, UnknownEngineGivesEmptyTexts) {
  TestDatabase store;
  SearchRecords search(store.db());
  EXPECT_EQ(search.SetSearchEngine(u"x' or name='baidu"), 0);
  EXPECT_EQ(search.GetSearchEngineIcon(), u"");
  EXPECT_EQ(search.BuildSearchUrl(u"q"), u"");
}

TEST(SearchRecords, TextTypedTwiceKeepsItsFirstTimestamps) {
  TestDatabase store;
  SearchRecords search(store.db());
  EXPECT_EQ(search.AddSearchText(u"weather"), 0);
  store.db().Execute("update searchtext set created_at=1, updated_at=2");
  EXPECT_EQ(search.AddSearchText(u"weather"), -1);
  EXPECT_EQ(store.Scalar("select created_at || ',' || updated_at from searchtext"), "1,2");
}

TEST(SearchRecords, AwkwardTextsAreStoredExactlyAndClearRemovesThem) {
  TestDatabase store;
  SearchRecords search(store.db());
  const auto texts = AwkwardTexts();
  for (const WString& text : texts) {
    EXPECT_EQ(search.AddSearchText(text), 0) << WideToUtf8(text);
    EXPECT_EQ(store.db().Query("select 1 from searchtext where searchtext=?", {text}), 1);
  }
  EXPECT_EQ(search.ClearSearchTexts(), 0);
  EXPECT_EQ(store.Scalar("select count(*) from searchtext"), "0");
}

}  // namespace
}  // namespace tarvo
