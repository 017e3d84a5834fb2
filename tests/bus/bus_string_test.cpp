#include "bus/bus_string.h"

#include <cstring>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(BusStringTest, HoldsCountsTextAndTerminatorInOneBlock) {
  BusString* string = BusString::Create(u"http://x.example/路径");
  ASSERT_NE(string, nullptr);
  EXPECT_EQ(string->length, 19u);
  EXPECT_EQ(string->capacity, 20u);
  EXPECT_EQ(string->View(), u"http://x.example/路径");
  EXPECT_EQ(string->Units()[string->length], u'\0');
  BusString::Free(string);
}

TEST(BusStringTest, NullSourceIsEmptyAndEmbeddedZeroUnitsAreKept) {
  BusString* empty = BusString::Create(static_cast<const char16_t*>(nullptr));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->length, 0u);
  EXPECT_EQ(empty->capacity, 0u);
  EXPECT_EQ(empty->View(), u"");
  BusString::Free(empty);
  BusString* zeros = BusString::Create(WStringView(u"a\0b", 3));
  EXPECT_EQ(zeros->View(), WStringView(u"a\0b", 3));
  BusString::Free(zeros);
}

}  // namespace
}  // namespace tarvo
