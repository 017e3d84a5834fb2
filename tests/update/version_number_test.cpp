#include "update/version_number.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(VersionNumberTest, ComparesPartByPartAsNumbersAndRefusesOtherTexts) {
  struct Case {
    const char16_t* announced;
    const char16_t* own;
    bool newer;
    const char* why;
  };
  const Case cases[] = {
      {u"5.5.9.0", u"5.5.8.1", true, "the next release"},
      {u"5.5.10.0", u"5.5.8.1", true, "10 is more than 8 (a text comparison says less)"},
      {u"5.5.10.0", u"5.5.9.9", true, "a two-digit part"},
      {u"5.5.8.1", u"5.5.10.0", false, "older"},
      {u"5.5.8.1", u"5.5.8.1", false, "equal"},
      {u"5.5.8.01", u"5.5.8.1", false, "a leading zero changes nothing"},
      {u"5.5.8.1", u"5.5.8.01", false, "nor on the own side"},
      {u"5.5.9", u"5.5.9.0", false, "a missing part counts as 0"},
      {u"5.5.9.0.1", u"5.5.9", true, "an extra part that is not 0"},
      {u"6", u"5.99.99.99", true, "one part"},
      {u"123456789012345678901234567890.0", u"99999999999999999999.0", true, "parts longer than any integer"},
      {u"5.5.9.0b", u"5.5.8.1", false, "letters: not a release number"},
      {u"5.5.9-rc1", u"5.5.8.1", false, "a suffix"},
      {u"v5.5.9.0", u"5.5.8.1", false, "a prefix"},
      {u"5..9.0", u"5.5.8.1", false, "an empty part"},
      {u"5.5.9.", u"5.5.8.1", false, "a trailing dot"},
      {u"", u"5.5.8.1", false, "nothing announced"},
      {u" 5.5.9.0", u"5.5.8.1", false, "a blank"},
      {u"5.5.9.0/../../x", u"5.5.8.1", false, "a path"},
      {u"５.5.9.0", u"5.5.8.1", false, "a full-width digit"},
      {u"1.2.3.4.5.6.7.8.9", u"1.0", false, "more than eight parts"},
      {u"5.5.9.0", u"unknown", false, "an own version that is no number"},
  };
  for (const Case& c : cases) EXPECT_EQ(VersionNumber::IsNewer(c.announced, c.own), c.newer) << c.why;
}

}  // namespace
}  // namespace tarvo
