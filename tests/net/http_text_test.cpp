// Addresses and heads as every client reads them, and bodies in every framing.
#include <gtest/gtest.h>

#include "net/http_body_decoder.h"
#include "net/http_header.h"
#include "net/http_url.h"

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

TEST(HttpHeaderTest, RefusesHeadsThatCannotBeFramedSafelyAndFindsFieldsInAnySpelling) {
  CHttpHeader head;
  EXPECT_FALSE(head.Parse(""));
  EXPECT_FALSE(head.Parse("HTTP/2 200 OK"));
  EXPECT_FALSE(head.Parse("ICY 200 OK"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 2x0 OK"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 200 OK\r\nContent-Length: -5"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999"));
  // A repeated, equal length is harmless; fields are found whatever their spelling.
  ASSERT_TRUE(head.Parse("HTTP/1.1 302 Found\r\nContent-Length: 5\r\ncontent-length: 5\r\nlocation: /next"));
  EXPECT_EQ(head.status(), 302);
  EXPECT_EQ(head.contentLength(), 5u);
  EXPECT_EQ(head.Field("Location"), "/next");
  ASSERT_TRUE(head.Parse("HTTP/1.0 200 OK\r\nTransfer-Encoding: Chunked"));
  EXPECT_TRUE(head.chunked());
  EXPECT_FALSE(head.contentLength());
}

using Framing = HttpBodyDecoder::Framing;

// Feeds `wire` in pieces of `step` bytes and returns the body and bytes consumed.
std::pair<std::string, size_t> Decode(HttpBodyDecoder& decoder, std::string_view wire, size_t step) {
  std::string body;
  size_t consumed = 0;
  while (consumed < wire.size() && !decoder.complete() && !decoder.malformed()) {
    const std::string_view piece = wire.substr(consumed, step);
    const size_t used = decoder.Feed(piece, [&body](std::string_view data) { body.append(data); });
    consumed += used;
    if (used < piece.size()) break;
  }
  return {body, consumed};
}

TEST(HttpBodyDecoderTest, ChunkedBodiesSurviveAnySplit) {
  const std::string wire = "4;ext=1\r\nWiki\r\n5\r\npedia\r\nE\r\n in\r\n\r\nchunks.\r\n0\r\nTrailer: x\r\n\r\nNEXT";
  for (size_t step : {1u, 2u, 3u, 7u, 100u}) {
    HttpBodyDecoder decoder(Framing::kChunked, 0);
    const auto [body, consumed] = Decode(decoder, wire, step);
    EXPECT_TRUE(decoder.complete()) << step;
    EXPECT_EQ(body, "Wikipedia in\r\n\r\nchunks.") << step;
    // Bytes after the terminating chunk belong to the next response.
    EXPECT_EQ(wire.substr(consumed), "NEXT") << step;
  }
}

TEST(HttpBodyDecoderTest, MalformedChunksAreRefused) {
  for (const char* wire : {"zz\r\nabc", "3\r\nabcX\r\n", "-1\r\n", "3\r\nabc\r\n"}) {
    HttpBodyDecoder decoder(Framing::kChunked, 0);
    Decode(decoder, wire, 100);
    EXPECT_FALSE(decoder.complete()) << wire;
  }
  HttpBodyDecoder endless(Framing::kChunked, 0);
  Decode(endless, std::string(10000, '1'), 100);
  EXPECT_TRUE(endless.malformed());
}

TEST(HttpBodyDecoderTest, LengthFramingStopsAtTheAnnouncedLength) {
  HttpBodyDecoder decoder(Framing::kLength, 5);
  const auto [body, consumed] = Decode(decoder, "helloEXTRA", 3);
  EXPECT_TRUE(decoder.complete());
  EXPECT_EQ(body, "hello");
  EXPECT_EQ(consumed, 5u);
  EXPECT_TRUE(HttpBodyDecoder(Framing::kLength, 0).complete());
  HttpBodyDecoder untilClose(Framing::kUntilClose, 0);
  EXPECT_EQ(Decode(untilClose, "all of it", 4).first, "all of it");
  EXPECT_FALSE(untilClose.complete());
}

}  // namespace
}  // namespace tarvo
