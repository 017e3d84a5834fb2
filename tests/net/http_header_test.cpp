#include <gtest/gtest.h>

#include "net/http_body_decoder.h"
#include "net/http_header.h"

namespace tarvo {
namespace {

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
