#include "url/url_encoding.h"

#include <gtest/gtest.h>

#include "platform/paths.h"

namespace tarvo {
namespace {

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

}  // namespace
}  // namespace tarvo
