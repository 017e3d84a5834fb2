#include <gtest/gtest.h>

#include "loopback_probe.h"
#include "net/service_reply.h"
#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

class ProxyTest : public ServiceFixture {
 protected:
  void SetUp() override {
    ServiceFixture::SetUp();
    const ServiceReply reply =
        Post("app/v1.0/no_login_connection_vpn_node", FormBody().Add("brand", "TestBrand").Add("node_id", "7"));
    anonymousToken_ = ServiceReply::ReadString(reply.data(), "proxy_token");
    ASSERT_FALSE(anonymousToken_.empty());
    proxyPort_ = service_->ProxyOf(7)->port();
  }

  std::string anonymousToken_;
  int proxyPort_ = 0;
};

TEST_F(ProxyTest, RefusesRequestsWithoutCredentialsOfAnOpenConnectionOnItsNode) {
  EXPECT_EQ(Fetch("http://www.tarvo.test/", proxyPort_).status, 407);
  EXPECT_EQ(Fetch("http://www.tarvo.test/", proxyPort_, "nobody:wrong").status, 407);
  EXPECT_EQ(Fetch("http://www.tarvo.test/", proxyPort_, "1:" + anonymousToken_).status, 407)
      << "an anonymous connection is used as \"nobody\"";
  EXPECT_EQ(Fetch("http://www.tarvo.test/", service_->ProxyOf(8)->port(), "nobody:" + anonymousToken_).status, 407)
      << "the connection was opened on another node";
  EXPECT_EQ(Fetch("http://www.tarvo.test/", proxyPort_, std::nullopt, true).status, 407);
  EXPECT_EQ(service_->ProxyOf(7)->Counts().authRefused, 4u);
  EXPECT_EQ(service_->ProxyOf(7)->Counts().requests, 0u);

  ASSERT_EQ(Post("app/v1.0/no_login_cancel_connection",
                 FormBody().Add("brand", "TestBrand").Add("proxy_token", anonymousToken_))
                .code(),
            200);
  EXPECT_EQ(Fetch("http://www.tarvo.test/", proxyPort_, "nobody:" + anonymousToken_).status, 407);
}

TEST_F(ProxyTest, ServesTestDomainAndForwardsToLoopbackOnly) {
  const std::string credentials = "nobody:" + anonymousToken_;
  const FetchResult page = Fetch("http://www.tarvo.test/", proxyPort_, credentials);
  EXPECT_EQ(page.status, 200);
  EXPECT_NE(page.body.find("tarvo.test portal"), std::string::npos);

  const FetchResult tunnelled = Fetch("http://www.tarvo.test/", proxyPort_, credentials, true);
  EXPECT_EQ(tunnelled.status, 200);
  EXPECT_NE(tunnelled.body.find("tarvo.test portal"), std::string::npos);

  EXPECT_EQ(Fetch("http://unknown.tarvo.test/", proxyPort_, credentials).status, 404);

  const FetchResult loopback = Fetch(service_->BaseUrl() + "personal-center/respwd.jsp", proxyPort_, credentials);
  EXPECT_EQ(loopback.status, 200);
  EXPECT_NE(loopback.body.find("Reset password"), std::string::npos);

  EXPECT_EQ(Fetch("http://192.0.2.1/", proxyPort_, credentials).status, 403);
  EXPECT_EQ(Fetch("http://example.com/", proxyPort_, credentials, true).status, 403);

  const ProxyCounts counts = service_->ProxyOf(7)->Counts();
  EXPECT_EQ(counts.requests, 3u);
  EXPECT_EQ(counts.tunnels, 1u);
  EXPECT_EQ(counts.destinationRefused, 2u);
  EXPECT_EQ(counts.authRefused, 0u);

  const FetchResult status = Fetch(service_->BaseUrl() + "status/proxies");
  const auto parsed = ServiceReply::Parse("{\"code\":200,\"data\":" + status.body + "}");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(ServiceReply::ReadInt(parsed->data()[0], "requests"), 3);
  EXPECT_EQ(ServiceReply::ReadInt(parsed->data()[0], "tunnels"), 1);
}

TEST_F(ProxyTest, UserConnectionWorksUntilItsTimeRunsOut) {
  const auto [alice, token] = LogIn("alice@tarvo.test", "alice&pass=1");  // 100 s
  const ServiceReply connected =
      Post("app/v1.0/connection_vpn_node", FormBody().Add("id", alice).Add("token", token).Add("node_id", "8"));
  const std::string credentials = alice + ":" + ServiceReply::ReadString(connected.data(), "proxy_token");
  const int port = service_->ProxyOf(8)->port();
  EXPECT_EQ(Fetch("http://www.tarvo.test/", port, credentials).status, 200);
  EXPECT_EQ(Fetch("http://www.tarvo.test/", port, "nobody:" + credentials.substr(alice.size() + 1)).status, 407);
  AdvanceClock(100);
  EXPECT_EQ(Fetch("http://www.tarvo.test/", port, credentials).status, 407);
}

TEST_F(ProxyTest, MalformedRequestsGetAnAnswer) {
  EXPECT_EQ(RawExchange(proxyPort_, "garbage\r\n\r\n").rfind("HTTP/1.1 400", 0), 0u);
  EXPECT_EQ(RawExchange(proxyPort_, "GET /relative HTTP/1.1\r\nHost: x\r\n\r\n").rfind("HTTP/1.1 400", 0), 0u);
  EXPECT_EQ(RawExchange(proxyPort_, "CONNECT www.tarvo.test HTTP/1.1\r\n\r\n").rfind("HTTP/1.1 400", 0), 0u);
  EXPECT_EQ(RawExchange(proxyPort_, "GET http://x/ HTTP/1.1\r\n" + std::string(40000, 'a') + "\r\n\r\n")
                .rfind("HTTP/1.1 431", 0),
            0u);
  EXPECT_EQ(RawExchange(proxyPort_,
                        "GET http://www.tarvo.test/ HTTP/1.1\r\nProxy-Authorization: Basic !!!!\r\n\r\n")
                .rfind("HTTP/1.1 407", 0),
            0u);
}

}  // namespace
}  // namespace tarvo::service::test
