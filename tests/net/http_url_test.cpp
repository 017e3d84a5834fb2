#include "net/http_url.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// Each address as every client reads it: scheme, host, port (80 or 443 unless
// given) and request target, in one text.
TEST(HttpUrlTest, SplitsSchemeHostPortAndTargetLikeEveryClientAndEncodesWhatMayNotStandInARequestLine) {
  const std::pair<const char16_t*, const char*> rows[] = {
      {u"http://example.com/a/b?x=1#frag", "http://example.com:80/a/b?x=1"},
      // An empty request target is not valid HTTP, so a bare host asks for "/".
      {u"http://example.com:8080", "http://example.com:8080/"},
      {u"http://h.test?q", "http://h.test:80/?q"},
      {u"http://h.test:/x", "http://h.test:80/x"},
      // Whatever precedes the scheme is dropped; no scheme means plain HTTP.
      {u"  junk http://h.test/x", "http://h.test:80/x"},
      {u"h.test:81/x", "http://h.test:81/x"},
      {u"https://secure.test/p", "https://secure.test:443/p"},
      {u"https://secure.test:8443/p", "https://secure.test:8443/p"},
      {u"http://h.test/a b/\u00e9\"<>", "http://h.test:80/a%20b/%C3%A9%22%3C%3E"},
  };
  for (const auto& [text, read] : rows) {
    const auto url = HttpUrl::Parse(text);
    ASSERT_TRUE(url) << WideToUtf8(text);
    EXPECT_EQ(url->ToString(), read);
  }
  EXPECT_TRUE(HttpUrl::Parse(u"https://secure.test/")->secure());
  EXPECT_TRUE(HttpUrl::Parse(u"http://[::1]:8080/"));
}

TEST(HttpUrlTest, RefusesAddressesNoClientCanUse) {
  for (const char16_t* bad : {u"", u"http://", u"http:///path", u"http://h.test:0/", u"http://h.test:65536/",
                              u"http://h.test:80x/", u"http://h.test:-1/", u"http://bad host/",
                              u"http://a\r\nInjected: 1/", u"http://user@h.test/", u"http://[::1/"}) {
    EXPECT_FALSE(HttpUrl::Parse(bad)) << WideToUtf8(bad);
  }
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
