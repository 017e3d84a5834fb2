#include "bus/channel_table.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(ChannelTableTest, KeysCompareByLengthFirstThenUnits) {
  EXPECT_LT(ChannelTable::CompareKeys(u"zz", u"aaa"), 0);
  EXPECT_GT(ChannelTable::CompareKeys(u"b", u"a"), 0);
  EXPECT_LT(ChannelTable::CompareKeys(u"A", u"a"), 0);
  EXPECT_GT(ChannelTable::CompareKeys(u"\xFFFF", u"a"), 0) << "units compare unsigned";
  EXPECT_EQ(ChannelTable::CompareKeys(u"same", u"same"), 0);
}

TEST(ChannelTableTest, CollidingKeysChainAndStayDistinct) {
  ChannelTable table;
  // "ab" and "ba" have the same sum, so they share a bucket at every size.
  BusChannel* ab = table.Insert(u"ab");
  BusChannel* ba = table.Insert(u"ba");
  EXPECT_NE(ab, ba);
  EXPECT_EQ(table.Find(u"ab"), ab);
  EXPECT_EQ(table.Find(u"ba"), ba);
  EXPECT_EQ(table.Insert(u"ab"), ab) << "a present key keeps its channel";
  EXPECT_EQ(table.Size(), 2u);
  EXPECT_EQ(table.Find(u"aab"), nullptr);
}

}  // namespace
}  // namespace tarvo
