#include "service/proxy_request_head.h"

#include <gtest/gtest.h>

namespace tarvo::service {
namespace {

TEST(ProxyRequestHead, ReadsTargetsOfPlainAndTunnelRequests) {
  const auto plain = ProxyRequestHead::Parse("GET HTTP://WWW.Tarvo.Test:8080?q=1 HTTP/1.1\r\nHost: www.tarvo.test");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->host(), "www.tarvo.test");
  EXPECT_EQ(plain->port(), 8080);
  EXPECT_EQ(plain->path(), "/?q=1");

  const auto tunnel = ProxyRequestHead::Parse("CONNECT [::1]:443 HTTP/1.1");
  ASSERT_TRUE(tunnel);
  EXPECT_TRUE(tunnel->IsConnect());
  EXPECT_EQ(tunnel->host(), "::1");
  EXPECT_EQ(tunnel->port(), 443);

  EXPECT_FALSE(ProxyRequestHead::Parse("GET /relative HTTP/1.1"));
  EXPECT_FALSE(ProxyRequestHead::Parse("GET http://user@evil/ HTTP/1.1"));
  EXPECT_FALSE(ProxyRequestHead::Parse("CONNECT host HTTP/1.1"));
  EXPECT_FALSE(ProxyRequestHead::Parse("GET http://h:99999/ HTTP/1.1"));
  EXPECT_FALSE(ProxyRequestHead::Parse("GET http://h/ HTTP/1.1\r\nno colon here"));
}

TEST(ProxyRequestHead, DecodesBasicCredentials) {
  // "1:tok:en" — the password may itself hold colons.
  const auto head = ProxyRequestHead::Parse("GET http://h/ HTTP/1.1\r\nproxy-authorization: basic MTp0b2s6ZW4=");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->BasicCredentials(), std::make_pair(std::string("1"), std::string("tok:en")));
  EXPECT_FALSE(ProxyRequestHead::Parse("GET http://h/ HTTP/1.1\r\nProxy-Authorization: Basic bm9jb2xvbg==")
                   ->BasicCredentials());
  EXPECT_FALSE(ProxyRequestHead::Parse("GET http://h/ HTTP/1.1\r\nProxy-Authorization: Bearer x")->BasicCredentials());
}

TEST(ProxyRequestHead, ForwardedHeadDropsTheProxysOwnHeaders) {
  const auto head = ProxyRequestHead::Parse(
      "POST http://127.0.0.1:81/a?b HTTP/1.1\r\nHost: 127.0.0.1:81\r\nProxy-Authorization: Basic eDp5\r\n"
      "Proxy-Connection: keep-alive\r\nConnection: keep-alive\r\nContent-Length: 3");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->ForwardedHead(),
            "POST /a?b HTTP/1.1\r\nHost: 127.0.0.1:81\r\nContent-Length: 3\r\nConnection: close\r\n\r\n");
}

}  // namespace
}  // namespace tarvo::service
