#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

#include "platform/paths.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/test_database.h"
#include "suffix_table/suffix_list_reader.h"
#include "url/public_suffix_table.h"
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

// Host, origin and path of each address; a prefix that is no known scheme is
// scanned from the first character, and the port stays out of the host only.
TEST_F(UrlPartsTest, HostOriginAndPathKeepThePortInTheOriginAndScanUnknownPrefixesFromTheStart) {
  const struct {
    const char16_t* url;
    const char16_t* host;
    const char16_t* origin;
    const char16_t* path;
  } rows[] = {{u"https://bank.example.com.cn:8443/login/index.html?a=b", u"bank.example.com.cn",
               u"https://bank.example.com.cn:8443", u"/login/index.html?a=b"},
              {u"ftp://files.example.com/a", u"ftp", u"ftp:", u"ftp://files.example.com/a"},
              {u"example.com:80/x", u"example.com", u"example.com:80", nullptr},
              {u"http://a.com", nullptr, u"http://a.com", u""},
              {u"", u"", u"", u""}};
  for (const auto& row : rows) {
    EXPECT_EQ(row.host ? GetUrlHost(row.url) : WString(), row.host ? row.host : u"") << WideToUtf8(row.url);
    EXPECT_EQ(GetUrlOrigin(row.url), row.origin) << WideToUtf8(row.url);
    EXPECT_EQ(row.path ? GetUrlPath(row.url) : WString(), row.path ? row.path : u"") << WideToUtf8(row.url);
  }
  EXPECT_EQ(GetUrlHost(u"http://:8080/x"), u"");
  EXPECT_EQ(GetUrlHost(u"http://"), u"");
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

const PublicSuffixTable& Table() { return PublicSuffixTable::Instance(); }

// Both lookups, which must always agree.
void ExpectDomain(std::string_view host, std::string_view expected) {
  EXPECT_EQ(Table().RegistrableDomain(host), expected) << host;
  EXPECT_EQ(Table().RegistrableDomainByLinearWalk(host), expected) << host;
}

TEST(PublicSuffixTable, HoldsEveryRuleOfTheSystemListLongestFirst) {
  std::ifstream in("/usr/share/publicsuffix/public_suffix_list.dat");
  SuffixListReader reader;
  std::string error;
  ASSERT_TRUE(reader.Read(in, error)) << error;
  ASSERT_EQ(Table().size(), reader.rules().size());
  std::set<std::string_view> generated;
  size_t previous = SIZE_MAX;
  for (const PublicSuffixEntry& entry : Table().entries()) {
    EXPECT_LE(entry.length, previous);
    previous = entry.length;
    generated.emplace(entry.text, entry.length);
  }
  for (const std::string& rule : reader.rules()) EXPECT_TRUE(generated.contains(rule)) << rule;
  // Both sections, with wildcard and exception rules as plain text.
  for (const char* rule : {"com", "com.cn", "blogspot.com", "*.ck", "!www.ck", "公司.cn"}) {
    EXPECT_TRUE(generated.contains(rule)) << rule;
  }
}

TEST(PublicSuffixTable, ReaderKeepsRulesNotCommentsAndRefusesAnEmptyList) {
  std::istringstream list("// comment\n\ncom\n  *.ck  trailing words\n!www.ck\r\ncom\nco.uk\n");
  SuffixListReader reader;
  std::string error;
  ASSERT_TRUE(reader.Read(list, error));
  EXPECT_EQ(reader.rules(), (std::vector<std::string>{"com", "*.ck", "!www.ck", "co.uk"}));
  EXPECT_EQ(reader.RulesLongestFirst(), (std::vector<std::string>{"!www.ck", "co.uk", "*.ck", "com"}));
  std::istringstream empty("// nothing here\n");
  EXPECT_FALSE(reader.Read(empty, error));
  EXPECT_FALSE(error.empty());
}

TEST(PublicSuffixTable, LiteralRuleOnThePublicSuffixListCases) {
  std::istringstream cases(test::ReadTestData("url/psl_literal.txt"));
  std::string line;
  int checked = 0;
  while (std::getline(cases, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string host;
    std::string expected;
    fields >> host >> expected;
    ExpectDomain(host == "(empty)" ? "" : host, expected == "(empty)" ? "" : expected);
    ++checked;
  }
  EXPECT_EQ(checked, 78);
}

TEST(PublicSuffixTable, OddHostsGiveTheSameAnswerBothWays) {
  ExpectDomain("a.b.c.example.co.uk", "example.co.uk");
  ExpectDomain("co.uk", "co.uk");
  ExpectDomain("x.co.uk", "x.co.uk");
  ExpectDomain("example.com.", "example.com.");
  ExpectDomain("a..com", ".com");
  ExpectDomain("..", "..");
  ExpectDomain(".", ".");
  ExpectDomain("a.*.ck", "a.*.ck");  // a wildcard rule matches its own literal text
  ExpectDomain("x.a.*.ck", "a.*.ck");
  ExpectDomain("192.168.1.20", "192.168.1.20");
  ExpectDomain("host:8080", "host:8080");
  ExpectDomain(std::string(300, 'a') + ".com", std::string(300, 'a') + ".com");
  ExpectDomain(std::string_view("\xff\xfe.com", 6), std::string_view("\xff\xfe.com", 6));
}

TEST(PublicSuffixTable, HashLookupAgreesWithTheLinearWalkOnEveryRule) {
  // Every rule with one, two and three labels in front, and bare: each boundary
  // case of the longest-match rule.
  for (const PublicSuffixEntry& entry : Table().entries()) {
    const std::string rule(entry.text, entry.length);
    for (const std::string& host : {rule, "a." + rule, "b.a." + rule, "c.b.a." + rule, "." + rule}) {
      ASSERT_EQ(Table().RegistrableDomain(host), Table().RegistrableDomainByLinearWalk(host)) << host;
    }
  }
}

}  // namespace
}  // namespace tarvo
