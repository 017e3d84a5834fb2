// The amounts exactly as the download list shows them.
#include "downloads/download_status_text.h"

#include <gtest/gtest.h>

#include "support/language_environment.h"

namespace tarvo {
namespace {

using Text = DownloadStatusText;

// The shipped English pack.
const auto* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new test::LanguageEnvironment("TARVO_SOURCE_DIR", "/lang/", u"usa"));

TEST(DownloadStatusTextTest, AmountsTakeTheLargestUnitTheyStrictlyExceed) {
  struct Case {
    int64_t value;
    const char16_t* speed;
    const char16_t* size;
  };
  for (const Case& c : {Case{0, u"0 B/s", u"0 B"}, Case{1024, u"1024 B/s", u"1024 B"},
                        Case{1025, u"1.00 KB/s", u"1.00 KB"}, Case{1536, u"1.50 KB/s", u"1.50 KB"},
                        Case{1048576, u"1,024.00 KB/s", u"1,024.00 KB"}, Case{1048577, u"1.00 MB/s", u"1.00 MB"},
                        Case{5368709120, u"5.00 GB/s", u"5.00 GB"},
                        Case{int64_t{1325} * 1024 * 1024 * 1024, u"1,325.00 GB/s", u"1,325.00 GB"}}) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Text::FormatAmount(c.value, Text::kSpeedUnits), c.speed);
    EXPECT_EQ(Text::FormatAmount(c.value, Text::kSizeUnits), c.size);
  }
}

}  // namespace
}  // namespace tarvo
