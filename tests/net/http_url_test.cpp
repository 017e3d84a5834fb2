#include "net/http_url.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(HttpUrlTest, SplitsHostPortAndPathLikeEveryClient) {
  auto url = HttpUrl::Parse(u"http://example.com/a/b?x=1#frag");
  ASSERT_TRUE(url);
  EXPECT_FALSE(url->secure());
  EXPECT_EQ(url->host(), "example.com");
  EXPECT_EQ(url->port(), 80);
  EXPECT_EQ(url->path(), "/a/b?x=1");

  url = HttpUrl::Parse(u"http://example.com:8080");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->port(), 8080);
  EXPECT_EQ(url->path(), "");
  // An empty request target is not valid HTTP, so a bare host asks for "/".
  EXPECT_EQ(url->RequestTarget(), "/");

  // Whatever precedes the scheme is dropped; no scheme means plain HTTP.
  url = HttpUrl::Parse(u"  junk http://h.test/x");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->host(), "h.test");
  url = HttpUrl::Parse(u"h.test:81/x");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->port(), 81);

  url = HttpUrl::Parse(u"http://h.test:/x");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->port(), 80);
  url = HttpUrl::Parse(u"http://h.test?q");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->RequestTarget(), "/?q");
}

TEST(HttpUrlTest, HttpsDefaultsToPort443UnlessGiven) {
  auto url = HttpUrl::Parse(u"https://secure.test/p");
  ASSERT_TRUE(url);
  EXPECT_TRUE(url->secure());
  EXPECT_EQ(url->port(), 443);
  url = HttpUrl::Parse(u"https://secure.test:8443/p");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->port(), 8443);
  EXPECT_EQ(url->ToString(), "https://secure.test:8443/p");
}

TEST(HttpUrlTest, RefusesAddressesNoClientCanUse) {
  for (const char16_t* bad : {u"", u"http://", u"http:///path", u"http://h.test:0/", u"http://h.test:65536/",
                              u"http://h.test:80x/", u"http://h.test:-1/", u"http://bad host/",
                              u"http://a\r\nInjected: 1/", u"http://user@h.test/", u"http://[::1/"}) {
    EXPECT_FALSE(HttpUrl::Parse(bad)) << WideToUtf8(bad);
  }
  EXPECT_TRUE(HttpUrl::Parse(u"http://[::1]:8080/"));
}

TEST(HttpUrlTest, EncodesBytesThatMayNotStandInARequestLine) {
  const auto url = HttpUrl::Parse(u"http://h.test/a b/\u00e9\"<>");
  ASSERT_TRUE(url);
  EXPECT_EQ(url->path(), "/a%20b/%C3%A9%22%3C%3E");
}

TEST(HttpUrlTest, ResolvesRedirectLocations) {
  const auto base = HttpUrl::Parse(u"http://h.test:81/dir/page?q=1");
  ASSERT_TRUE(base);
  EXPECT_EQ(base->Resolve("/top")->ToString(), "http://h.test:81/top");
  EXPECT_EQ(base->Resolve("other")->ToString(), "http://h.test:81/dir/other");
  EXPECT_EQ(base->Resolve("?p=2")->ToString(), "http://h.test:81/dir/page?p=2");
  EXPECT_EQ(base->Resolve("http://x.test/y")->ToString(), "http://x.test:80/y");
  EXPECT_EQ(base->Resolve("//x.test/y")->ToString(), "http://x.test:80/y");
  EXPECT_TRUE(base->Resolve("https://x.test/")->secure());
}

}  // namespace
}  // namespace tarvo
