#include "settings/desktop_locale.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// LANGUAGE's list first, then the first set of LC_ALL, LC_MESSAGES and LANG, each
// as a tag; "C" and "POSIX" (and LC_ALL=C over a LANG) speak no language.
TEST(DesktopLocaleTest, TheEnvironmentGivesTheDesktopsLanguagesInGettextsOrder) {
  struct Case {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    std::vector<std::string> tags;
  };
  for (const Case& c : {Case{"", "", "", "en_US.UTF-8", {"en-US"}},
                        Case{"zh_CN:en::en_US", "", "", "en_US.UTF-8", {"zh-CN", "en", "en-US"}},
                        Case{"", "", "zh_tw.Big5@traditional", "en_US.UTF-8", {"zh-TW"}},
                        Case{"", "C", "", "zh_CN.UTF-8", {}}, Case{"", "", "", "C.UTF-8", {}},
                        Case{"", "", "", "POSIX", {}}, Case{"", "", "", "es_419.UTF-8", {"es-419"}},
                        Case{"../../x:de", "", "", "", {"de"}}, Case{"", "", "", "", {}}}) {
    EXPECT_EQ(DesktopLocale::FromValues(c.language, c.lcAll, c.lcMessages, c.lang), c.tags)
        << c.language << " | " << c.lcAll << " | " << c.lcMessages << " | " << c.lang;
  }
}

}  // namespace
}  // namespace tarvo
