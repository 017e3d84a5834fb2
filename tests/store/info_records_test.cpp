#include "store/info_records.h"

#include <gtest/gtest.h>

#include "store/test_database.h"

namespace tarvo {
namespace {

using test::TestDatabase;

TEST(InfoRecords, GetReportsMissingKeysAndSetInsertsThenUpdates) {
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
}

TEST(InfoRecords, ExitCleanFlag) {
  TestDatabase store;
  InfoRecords info(store.db());
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

}  // namespace
}  // namespace tarvo
