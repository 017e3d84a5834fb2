#include "net/http_header.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(HttpHeaderTest, ReadsStatusReasonAndFields) {
  CHttpHeader head;
  ASSERT_TRUE(head.Parse("HTTP/1.1 302 Found It\r\nlocation: /next\r\nContent-Length: 12\r\nX-Empty:"));
  EXPECT_STREQ(head.protocol(), "HTTP/1.1");
  EXPECT_EQ(head.status(), 302);
  EXPECT_EQ(head.reason(), "Found It");
  // Stored as received, found whatever the spelling: servers write "Location".
  EXPECT_EQ(head.fields().count("location"), 1u);
  EXPECT_EQ(head.Field("Location"), "/next");
  EXPECT_EQ(head.Field("Missing"), "");
  EXPECT_EQ(head.contentLength(), 12u);
  EXPECT_FALSE(head.chunked());

  ASSERT_TRUE(head.Parse("HTTP/1.0 200 OK\r\nTransfer-Encoding: Chunked"));
  EXPECT_TRUE(head.chunked());
  EXPECT_FALSE(head.contentLength());
}

TEST(HttpHeaderTest, RefusesHeadsThatCannotBeFramedSafely) {
  CHttpHeader head;
  EXPECT_FALSE(head.Parse(""));
  EXPECT_FALSE(head.Parse("HTTP/2 200 OK"));
  EXPECT_FALSE(head.Parse("ICY 200 OK"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 2x0 OK"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 200 OK\r\nContent-Length: -5"));
  EXPECT_FALSE(head.Parse("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999"));
  // A repeated, equal length is harmless.
  EXPECT_TRUE(head.Parse("HTTP/1.1 200 OK\r\nContent-Length: 5\r\ncontent-length: 5"));
}

}  // namespace
}  // namespace tarvo
