#include <gtest/gtest.h>

#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

class VpnApi : public ServiceFixture {
 protected:
  ServiceReply UserNodes(const std::string& id, const std::string& token) {
    return Post("app/v1.2/user_node_list", FormBody().Add("id", id).Add("token", token).Add("language", "china"));
  }
  ServiceReply Connect(const std::string& id, const std::string& token, const std::string& node) {
    return Post("app/v1.0/connection_vpn_node", FormBody().Add("id", id).Add("token", token).Add("node_id", node));
  }
  ServiceReply Cancel(const std::string& id, const std::string& token, const std::string& proxyToken) {
    return Post("app/v1.0/cancel_connection",
                FormBody().Add("id", id).Add("token", token).Add("proxy_token", proxyToken));
  }
  ServiceReply AnonymousNodes(const std::string& brand, const std::string& language) {
    return Post("app/v1.1/no_login_user_node_list", FormBody().Add("brand", brand).Add("language", language));
  }
  ServiceReply ConnectAnonymous(const std::string& brand, const std::string& node) {
    return Post("app/v1.0/no_login_connection_vpn_node", FormBody().Add("brand", brand).Add("node_id", node));
  }
};

TEST_F(VpnApi, AnonymousListCarriesCipheredProxyAddressesAndLocalisedAreas) {
  const ServiceReply chinese = AnonymousNodes("TestBrand", "china");
  ASSERT_EQ(chinese.code(), 200);
  ASSERT_EQ(chinese.data().size(), 2u) << "only nodes offered to anonymous users";
  const Json::Value& node = chinese.data()[0];
  EXPECT_EQ(ServiceReply::ReadInt(node, "id"), 7);
  EXPECT_EQ(ServiceReply::ReadInt(node, "country_id"), 2);
  EXPECT_EQ(ServiceReply::ReadString(node, "country"), "美国");
  EXPECT_EQ(Decipher(node["area"]), "弗吉尼亚");
  // The node's proxy runs here, so the list announces the proxy, not the seeded host.
  EXPECT_EQ(Decipher(node["ip"]), "127.0.0.1");
  EXPECT_EQ(ServiceReply::ReadInt(node, "port"), service_->ProxyOf(7)->port());
  EXPECT_EQ(ServiceReply::ReadInt(chinese.data()[1], "status"), 0);

  EXPECT_EQ(Decipher(AnonymousNodes("TestBrand", "en").data()[0]["area"]), "Virginia");
  EXPECT_EQ(AnonymousNodes("ClosedBrand", "en").code(), 403);
  EXPECT_EQ(AnonymousNodes("NoSuchBrand", "en").code(), 404);
  EXPECT_EQ(AnonymousNodes("", "en").code(), 400);
}

TEST_F(VpnApi, UserListNeedsVpnRights) {
  const auto [alice, aliceToken] = LogIn("alice@tarvo.test", "alice&pass=1");
  const ServiceReply nodes = UserNodes(alice, aliceToken);
  ASSERT_EQ(nodes.code(), 200);
  ASSERT_EQ(nodes.data().size(), 3u);
  EXPECT_EQ(ServiceReply::ReadInt(nodes.data()[1], "id"), 8);
  EXPECT_EQ(Decipher(nodes.data()[1]["area"]), "Tokyo");

  const auto [bob, bobToken] = LogIn("bob@tarvo.test", "bob-pass");
  EXPECT_EQ(UserNodes(bob, bobToken).code(), 403);
  EXPECT_EQ(Connect(bob, bobToken, "8").code(), 403);
  EXPECT_EQ(UserNodes(alice, "wrong").code(), 401);
  // Browsers leave the token out when their stored login has lapsed.
  EXPECT_EQ(Post("app/v1.2/user_node_list", FormBody().Add("id", alice).Add("language", "en")).code(), 401);
}

TEST_F(VpnApi, ConnectAndCancelCheckNodeAndOwnerAndTimeIsChargedUntilNoneIsLeft) {
  const auto [alice, token] = LogIn("alice@tarvo.test", "alice&pass=1");  // 100 s of connection time
  const ServiceReply connected = Connect(alice, token, "8");
  ASSERT_EQ(connected.code(), 200);
  const std::string proxyToken = ServiceReply::ReadString(connected.data(), "proxy_token");
  EXPECT_EQ(proxyToken.size(), 48u);
  EXPECT_EQ(Connect(alice, token, "99").code(), 404);
  EXPECT_EQ(Connect(alice, token, "9").code(), 503);
  EXPECT_EQ(Connect(alice, token, "x").code(), 400);

  // Browsers cancel also when nothing is open, with an empty proxy token.
  EXPECT_EQ(Cancel(alice, token, "").code(), 200);
  const auto [carol, carolToken] = LogIn("carol@tarvo.test", "carol-pass");
  EXPECT_EQ(Connect(carol, carolToken, "8").code(), 421);
  EXPECT_EQ(Cancel(carol, carolToken, proxyToken).code(), 404);
  EXPECT_EQ(Post("app/v1.0/no_login_cancel_connection",
                 FormBody().Add("brand", "TestBrand").Add("proxy_token", proxyToken))
                .code(),
            404);
  EXPECT_EQ(Cancel(alice, "bad", proxyToken).code(), 401);
  EXPECT_EQ(Cancel(alice, token, proxyToken).code(), 200);

  const std::string first = ServiceReply::ReadString(Connect(alice, token, "7").data(), "proxy_token");
  AdvanceClock(60);
  ASSERT_EQ(Cancel(alice, token, first).code(), 200);
  EXPECT_EQ(Cancel(alice, token, first).code(), 200) << "cancelling twice is harmless";
  // 40 s are left: a connection left open runs out, and is charged at the next try.
  ASSERT_EQ(Connect(alice, token, "7").code(), 200);
  AdvanceClock(45);
  EXPECT_EQ(Connect(alice, token, "7").code(), 421);
}

TEST_F(VpnApi, AnonymousConnections) {
  const ServiceReply connected = ConnectAnonymous("TestBrand", "7");
  ASSERT_EQ(connected.code(), 200);
  EXPECT_EQ(ConnectAnonymous("TestBrand", "8").code(), 404) << "node not offered to anonymous users";
  EXPECT_EQ(ConnectAnonymous("TestBrand", "9").code(), 503);
  EXPECT_EQ(ConnectAnonymous("StingyBrand", "7").code(), 421);
  EXPECT_EQ(ConnectAnonymous("ClosedBrand", "7").code(), 403);
  EXPECT_EQ(ConnectAnonymous("TestBrand", "").code(), 400);
  const auto cancel = [this](const std::string& proxyToken) {
    return Post("app/v1.0/no_login_cancel_connection",
                FormBody().Add("brand", "TestBrand").Add("proxy_token", proxyToken))
        .code();
  };
  EXPECT_EQ(cancel(ServiceReply::ReadString(connected.data(), "proxy_token")), 200);
  EXPECT_EQ(cancel(""), 200);
  EXPECT_EQ(cancel("unknown"), 404);
}

TEST_F(VpnApi, WhiteListDomainsAreCiphered) {
  const ServiceReply reply = Post("app/v1.0/list_web_url", FormBody().Add("brand", "TestBrand"));
  ASSERT_EQ(reply.code(), 200);
  ASSERT_EQ(reply.data().size(), 2u);
  EXPECT_EQ(Decipher(reply.data()[0]["domain"]), "www.tarvo.test");
  EXPECT_EQ(Decipher(reply.data()[1]["domain"]), "例子.tarvo.test");
  EXPECT_EQ(Post("app/v1.0/list_web_url", FormBody().Add("brand", "ClosedBrand")).data().size(), 0u);
  EXPECT_EQ(Post("app/v1.0/list_web_url", FormBody().Add("brand", "NoSuchBrand")).code(), 404);
}

}  // namespace
}  // namespace tarvo::service::test
