#include "url/site_icon.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(SiteIcon, FiveCandidatesInTheirOrderWithAndWithoutScheme) {
  using Candidates = std::array<WString, 5>;
  EXPECT_EQ(GetFaviconCandidates(u"https://ebank.bank.com.cn:8443/login?x=1"),
            (Candidates{u"https://ebank.bank.com.cn:8443/favicon.ico", u"https://bank.com.cn/favicon.ico",
                        u"http://bank.com.cn/favicon.ico", u"https://www.bank.com.cn/favicon.ico",
                        u"http://www.bank.com.cn/favicon.ico"}));
  EXPECT_EQ(GetFaviconCandidates(u"example.org/page"),
            (Candidates{u"example.org/favicon.ico", u"example.org/favicon.ico", u"http://example.org/favicon.ico",
                        u"www.example.org/favicon.ico", u"http://www.example.org/favicon.ico"}));
}

TEST(SiteIcon, CacheNameIsMd5OfUtf16LittleEndian) {
  EXPECT_EQ(GetIconCacheName(u""), u"d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(GetIconCacheName(u"a"), u"4144e195f46de78a3623da7364d04f11");
  EXPECT_EQ(GetIconCacheName(u"http://www.example.com/favicon.ico"), u"e95d670c7fff74394de9071b09116265");
  EXPECT_EQ(GetIconCacheName(u"银行"), u"c4c3c4db6461519ebfe555eb085f511b");
  EXPECT_NE(GetIconCacheName(u"http://a.com/favicon.ico"), GetIconCacheName(u"http://a.com/favicon.icO"));
}

}  // namespace
}  // namespace tarvo
