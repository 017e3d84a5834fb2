#include "platform/text.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(TextTest, ValidUtf8RoundTripsThroughUtf16) {
  const std::string samples[] = {"", "plain ascii", "caf\xC3\xA9", "\xE4\xB8\xAD\xE6\x96\x87",
                                 "\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2", "\xF0\x9F\x98\x80 emoji",
                                 std::string("nul\0inside", 10)};
  for (const std::string& sample : samples) EXPECT_EQ(WideToUtf8(Utf8ToWide(sample)), sample);
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), (WString{0xD83D, 0xDE00}));
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string input;
    WString expected;
  };
  const Case cases[] = {
      {"\x80", u"\uFFFD"},                          // stray continuation byte
      {"a\xC0\xAF" "b", u"a\uFFFD\uFFFDb"},         // overlong "/" with an illegal lead byte
      {"\xE0\x80\xAF", u"\uFFFD"},                  // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD"},                  // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD"},              // past U+10FFFF
      {"\xE4\xB8", u"\uFFFD"},                      // truncated at the end
      {"\xE4\xB8" "x", u"\uFFFDx"},                 // truncated before an ASCII byte
      {"\xFF\xFE", u"\uFFFD\uFFFD"},                // bytes that never occur
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToWide(c.input), c.expected) << "input bytes: " << c.input.size();
}

TEST(TextTest, UnpairedSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(WideToUtf8(WString{0xD800}), "\xEF\xBF\xBD");
  EXPECT_EQ(WideToUtf8(WString{0xDC00, u'a'}), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(WideToUtf8(WString{0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD");  // reversed pair
}

TEST(TextTest, AsciiToWideReplacesHighBytes) { EXPECT_EQ(AsciiToWide("ok\xE9"), u"ok\uFFFD"); }

}  // namespace
}  // namespace tarvo
