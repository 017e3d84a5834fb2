#include <gtest/gtest.h>

#include "platform/paths.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "url/site_icon.h"
#include "url/url_encoding.h"
#include "url/url_parts.h"

namespace tarvo {
namespace {

class UrlPartsTest : public ::testing::Test {
 protected:
  void SetUp() override { SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"tarvo://"); }
  void TearDown() override { SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"tarvo://"); }
};

TEST_F(UrlPartsTest, SchemeIsOnlyEverHttpOrHttps) {
  EXPECT_EQ(GetUrlScheme(u"http://a.com/"), u"http://");
  EXPECT_EQ(GetUrlScheme(u"https://a.com/"), u"https://");
  EXPECT_EQ(GetUrlScheme(u"tarvo://usercenter"), u"");
  EXPECT_EQ(GetUrlScheme(u"HTTP://a.com/"), u"");  // compared case-sensitively
  EXPECT_EQ(GetUrlScheme(u"a.com/x"), u"");
  EXPECT_EQ(GetUrlScheme(u""), u"");
}

TEST_F(UrlPartsTest, PortIsLeftOutOfTheHostButKeptInTheOrigin) {
  const WString url = u"https://bank.example.com.cn:8443/login/index.html?a=b";
  EXPECT_EQ(GetUrlHost(url), u"bank.example.com.cn");
  EXPECT_EQ(GetUrlOrigin(url), u"https://bank.example.com.cn:8443");
  EXPECT_EQ(GetUrlPath(url), u"/login/index.html?a=b");
}

TEST_F(UrlPartsTest, InternalSchemeHostIsItsFirstWord) {
  EXPECT_EQ(GetUrlHost(u"tarvo://usercenter/profile"), u"usercenter");
  EXPECT_EQ(GetUrlOrigin(u"tarvo://usercenter/profile"), u"tarvo://usercenter");
  EXPECT_EQ(GetUrlPath(u"tarvo://usercenter/profile"), u"/profile");
  EXPECT_EQ(GetUrlPath(u"tarvo://usercenter"), u"");
  EXPECT_TRUE(HasInternalScheme(u"tarvo://usercenter"));
  // The scheme comes from the settings on every call.
  SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"kx://");
  EXPECT_EQ(GetUrlHost(u"kx://center/x"), u"center");
  EXPECT_EQ(GetUrlHost(u"tarvo://usercenter/profile"), u"tarvo");
  EXPECT_FALSE(HasInternalScheme(u"tarvo://usercenter"));
  // An empty one recognises nothing.
  SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"");
  EXPECT_EQ(GetUrlPath(u"a.com/x"), u"a.com/x");
  EXPECT_FALSE(HasInternalScheme(u"a.com"));
  EXPECT_FALSE(HasInternalScheme(u""));
}

TEST_F(UrlPartsTest, UnrecognisedPrefixScansFromTheFirstCharacter) {
  EXPECT_EQ(GetUrlHost(u"ftp://files.example.com/a"), u"ftp");
  EXPECT_EQ(GetUrlOrigin(u"ftp://files.example.com/a"), u"ftp:");
  EXPECT_EQ(GetUrlPath(u"ftp://files.example.com/a"), u"ftp://files.example.com/a");
  EXPECT_EQ(GetUrlHost(u"example.com:80/x"), u"example.com");
  EXPECT_EQ(GetUrlOrigin(u"example.com:80/x"), u"example.com:80");
  EXPECT_EQ(GetUrlHost(u"http://:8080/x"), u"");
  EXPECT_EQ(GetUrlHost(u""), u"");
  EXPECT_EQ(GetUrlOrigin(u""), u"");
  EXPECT_EQ(GetUrlPath(u""), u"");
  EXPECT_EQ(GetUrlHost(u"http://"), u"");
  EXPECT_EQ(GetUrlOrigin(u"http://a.com"), u"http://a.com");
  EXPECT_EQ(GetUrlPath(u"http://a.com"), u"");
}

TEST_F(UrlPartsTest, RegistrableDomainOfUrls) {
  EXPECT_EQ(GetRegistrableDomain(u"https://a.b.www.example.com/x"), u"example.com");
  EXPECT_EQ(GetRegistrableDomain(u"http://ebank.bank.com.cn:443/"), u"bank.com.cn");
  EXPECT_EQ(GetRegistrableDomain(u"http://com.cn/"), u"com.cn");  // itself a suffix
  EXPECT_EQ(GetRegistrableDomain(u"http://intranet/"), u"intranet");
  EXPECT_EQ(GetRegistrableDomain(u"http://a.b.unlisted-tld-xyz/"), u"a.b.unlisted-tld-xyz");
  EXPECT_EQ(GetRegistrableDomain(u"http://www.食狮.公司.cn/"), u"食狮.公司.cn");
  EXPECT_EQ(GetRegistrableDomain(u""), u"");
}

TEST(UrlEncoding, KeepsTheDesignedCharactersAndEncodesEveryOtherByte) {
  EXPECT_EQ(PercentEncodeUtf8("AZaz09:/.()_"), "AZaz09:/.()_");
  EXPECT_EQ(PercentEncodeUtf8("a b-c~d"), "a%20b%2Dc%7Ed");
  EXPECT_EQ(PercentEncodeUtf8("%?#&='\"\\"), "%25%3F%23%26%3D%27%22%5C");
  EXPECT_EQ(PercentEncodeUtf8("\xe9\x93\xb6"), "%E9%93%B6");
  EXPECT_EQ(PercentEncodeUtf8(std::string_view("\0\xff", 2)), "%00%FF");
  EXPECT_EQ(PercentEncodeUtf8(""), "");
}

TEST(UrlEncoding, HomePageIsAWellFormedFileUrl) {
  EXPECT_EQ(HomePageUrlForFolder("/opt/tarvo/"), u"file:///opt/tarvo/home.html");
  // Spaces and non-ASCII letters of the folder become escapes of their UTF-8 bytes.
  EXPECT_EQ(HomePageUrlForFolder("/home/li lei/浏览器/"),
            u"file:///home/li%20lei/%E6%B5%8F%E8%A7%88%E5%99%A8/home.html");
  // A Windows-style folder keeps its drive colon and gets forward slashes.
  EXPECT_EQ(HomePageUrlForFolder("C:\\Program Files\\Tarvo\\"), u"file:///C:/Program%20Files/Tarvo/home.html");
  EXPECT_EQ(GetHomePageUrl(), HomePageUrlForFolder(ExecutableFolder()));
  EXPECT_TRUE(GetHomePageUrl().starts_with(u"file:///")) << WideToUtf8(GetHomePageUrl());
  EXPECT_FALSE(GetHomePageUrl().starts_with(u"file:////"));
}

TEST(UrlEncoding, TheStartPageIsKnownWithItsQueryAndHoweverItsPathIsEscaped) {
  const WString start = HomePageUrlForFolder("/home/li lei/浏览器/");
  for (const WString& url : {start, start + u"?sp=https%3A%2F%2Fwww.baidu.com%2Fs%3Fwd%3D", start + u"#top",
                             WString(u"file:///home/li lei/浏览器/home.html?sp=x")}) {
    EXPECT_TRUE(IsStartPageUrl(url, start)) << WideToUtf8(url);
  }
  for (const WString& url : {WString(u"file:///home/li lei/浏览器/home.htm"), WString(u"file:///home/li lei/home.html"),
                             WString(u"http://example.com/home.html"), WString()}) {
    EXPECT_FALSE(IsStartPageUrl(url, start)) << WideToUtf8(url);
  }
}

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

}  // namespace
}  // namespace tarvo
