// The nodes' proxies: whom they let through, and clients that try to reach what they
// should not, keep using a connection that has ended, or hold the proxy's doors open.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <unistd.h>

#include "echo_server.h"
#include "loopback_probe.h"
#include "net/service_reply.h"
#include "service/local_addresses.h"
#include "service/proxy_destinations.h"
#include "service/proxy_server.h"
#include "service/socket_address.h"
#include "service/tcp_connection.h"
#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

// The status line's start of a raw answer ("HTTP/1.1 403").
std::string Status(const std::string& answer) { return answer.substr(0, 12); }

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

TEST_F(ProxyTest, ARequestThatWaitsForAWorkerKeepsItsProxiedClient) {
  // One worker, kept busy by a registration that hashes its password for a while.
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  options.threads = 1;
  options.passwordIterations = 3'000'000;
  StartService(options);
  const ServiceReply anonymous = PostFrom("127.0.0.9", service_->port(), "app/v1.0/no_login_connection_vpn_node",
                                          "brand=TestBrand&node_id=7");
  const std::string authorization =
      ProxyAuthorization("nobody", ServiceReply::ReadString(anonymous.data(), "proxy_token"));
  std::thread busy([this] {
    Post("app/v1.0/register", FormBody().Add("username", "slow@tarvo.test").Add("password", "p").Add("brand", "TestBrand"));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // A client behind the proxy sends its launch report and leaves at once: the proxy
  // closes its side while the report still waits for the worker.
  {
    auto client = ConnectFrom("127.0.0.9", service_->ProxyOf(7)->port());
    ASSERT_TRUE(client);
    client->WriteAll(FormRequest("http://www.tarvo.test/app/v1.0/log_client_launch",
                                 "brand=TestBrand&platform=queued&clientversion=1", authorization));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  busy.join();
  std::string reporter;
  for (int i = 0; i < 50 && reporter.empty(); ++i) {
    reporter = Scalar("SELECT remote_address FROM launches WHERE platform='queued'");
    if (reporter.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(reporter, "127.0.0.9") << "never this machine's own request";
}

TEST_F(ProxyTest, MalformedRequestsGetAnAnswer) {
  EXPECT_EQ(Status(RawExchange(proxyPort_, "garbage\r\n\r\n")), "HTTP/1.1 400");
  EXPECT_EQ(Status(RawExchange(proxyPort_, "GET /relative HTTP/1.1\r\nHost: x\r\n\r\n")), "HTTP/1.1 400");
  EXPECT_EQ(Status(RawExchange(proxyPort_, "CONNECT www.tarvo.test HTTP/1.1\r\n\r\n")), "HTTP/1.1 400");
  const std::string longHead = "GET http://x/ HTTP/1.1\r\n" + std::string(40000, 'a') + "\r\n\r\n";
  EXPECT_EQ(Status(RawExchange(proxyPort_, longHead)), "HTTP/1.1 431");
  const std::string badCredentials = "GET http://www.tarvo.test/ HTTP/1.1\r\nProxy-Authorization: Basic !!!!\r\n\r\n";
  EXPECT_EQ(Status(RawExchange(proxyPort_, badCredentials)), "HTTP/1.1 407");
}

class ProxyGuardTest : public ServiceFixture {
 protected:
  // Restarts the service with the echo server on the proxies' allow-list.
  void AllowEcho() {
    service_->Stop();
    ServiceOptions options = DefaultOptions();
    options.seedPath.clear();
    options.proxyAllow = {echo_.Destination()};
    StartService(options);
  }

  std::string AnonymousAuthorization() {
    const ServiceReply reply =
        Post("app/v1.0/no_login_connection_vpn_node", FormBody().Add("brand", "TestBrand").Add("node_id", "7"));
    return ProxyAuthorization("nobody", ServiceReply::ReadString(reply.data(), "proxy_token"));
  }

  // A CONNECT tunnel to the echo server through node `node`'s proxy.
  std::optional<TcpConnection> Tunnel(int64_t node, const std::string& authorization) {
    return EchoTunnel(service_->ProxyOf(node)->port(), echo_.Destination(), authorization);
  }

  EchoServer echo_;
};

TEST_F(ProxyGuardTest, OnlyTheServicesOwnPagesAndMirrorsAreReachedUnlessAllowed) {
  const std::string authorization = AnonymousAuthorization();
  const int proxy = service_->ProxyOf(7)->port();
  const std::string connect = "CONNECT " + echo_.Destination() + " HTTP/1.1\r\n" + authorization + "\r\n";
  EXPECT_EQ(Status(RawExchange(proxy, connect)), "HTTP/1.1 403") << "another loopback service";
  EXPECT_EQ(echo_.received(), "");

  // The served mirror, on its own address and the front's port.
  const std::string mirror = "http://127.0.0.21:" + std::to_string(service_->port()) + "/";
  EXPECT_EQ(Status(RawExchange(proxy, "GET " + mirror + " HTTP/1.1\r\n" + authorization + "\r\n")), "HTTP/1.1 200");

  AllowEcho();
  EXPECT_TRUE(Tunnel(7, AnonymousAuthorization()));

  // Outside hosts, when allowed, are public ones only, whatever a name resolves to.
  const ProxyDestinations outside(ProxyDestinations::Plan{NodeAddress{"127.0.0.1", 1}, {}, {}, true});
  for (const std::string host : {"127.0.0.1", "localhost", "10.1.2.3", "172.16.0.1", "192.168.1.1", "169.254.169.254",
                                 "100.64.0.1", "0.0.0.0", "::1", "fe80::1", "fd00::1", "::ffff:10.0.0.1", "::"}) {
    EXPECT_FALSE(outside.Resolve(host, 80)) << host;
  }
  EXPECT_TRUE(outside.Resolve("93.184.216.34", 80));
  EXPECT_TRUE(outside.Resolve("2a00:1450::1", 443));
}

TEST(ProxyDestinations, TheHostsOwnAddressesAndTheNodesProxiesAreNeverReached) {
  // This machine's interfaces, say with a public address of each family, and nodes
  // published on another machine.
  const LocalAddresses local({"127.0.0.1", "::1", "93.184.216.40", "2a00:1450::40"});
  const ProxyDestinations outside(ProxyDestinations::Plan{
      NodeAddress{"127.0.0.1", 1}, {}, {NodeAddress{"127.0.0.1", 9000}}, true,
      {NodeAddress{"93.184.216.50", 3128}, NodeAddress{"2a00:1450::50", 3128}}, &local});
  for (const auto& [host, port] : std::vector<std::pair<std::string, int>>{{"93.184.216.40", 5432},
                                                                           {"93.184.216.40", 443},
                                                                           {"::ffff:93.184.216.40", 5432},
                                                                           {"2a00:1450::40", 22},
                                                                           {"2a00:1450:0:0::40", 22},
                                                                           {"93.184.216.50", 3128},
                                                                           {"2a00:1450::50", 3128},
                                                                           {"::ffff:93.184.216.50", 3128}}) {
    EXPECT_FALSE(outside.Resolve(host, port)) << host << " port " << port;
  }
  EXPECT_TRUE(outside.Resolve("93.184.216.50", 443)) << "a node's host, not its proxy";
  EXPECT_TRUE(outside.Resolve("93.184.216.34", 5432));
  EXPECT_TRUE(outside.Resolve("127.0.0.1", 9000)) << "allowed in so many words";
  // Without --proxy-outside a node's proxy stays out even when allowed by address.
  const ProxyDestinations allowedNode(ProxyDestinations::Plan{
      NodeAddress{"127.0.0.1", 1}, {}, {NodeAddress{"127.0.0.1", 3128}}, false, {NodeAddress{"127.0.0.1", 3128}}});
  EXPECT_FALSE(allowedNode.Resolve("127.0.0.1", 3128));
  EXPECT_FALSE(allowedNode.Resolve("localhost", 3128));

  // The real list holds every interface of this machine, loopback among them.
  const LocalAddresses machine;
  EXPECT_TRUE(machine.Contains("127.0.0.1"));
  EXPECT_FALSE(machine.Contains("93.184.216.34"));
  for (const std::string& address : machine.Current()) EXPECT_TRUE(machine.Contains(address)) << address;
}

TEST_F(ProxyGuardTest, ATunnelEndsWithItsConnection) {
  AllowEcho();
  struct Session {
    std::string id;
    std::string token;
  };
  const auto connect = [this](const Session& session) {
    const ServiceReply reply = Post("app/v1.0/connection_vpn_node",
                                    FormBody().Add("id", session.id).Add("token", session.token).Add("node_id", "8"));
    return ServiceReply::ReadString(reply.data(), "proxy_token");
  };
  const struct {
    const char* how;
    std::function<void(const Session& session, const std::string& proxyToken)> end;
  } ways[] = {
      {"connecting again", [&](const Session& session, const std::string&) { connect(session); }},
      {"cancel",
       [&](const Session& session, const std::string& proxyToken) {
         Post("app/v1.0/cancel_connection",
              FormBody().Add("id", session.id).Add("token", session.token).Add("proxy_token", proxyToken));
       }},
      {"log-out",
       [&](const Session& session, const std::string&) {
         Post("app/v1.0/logout", FormBody().Add("id", session.id).Add("token", session.token));
       }},
      {"time running out", [&](const Session&, const std::string&) { AdvanceClock(100); }},  // alice has 100 s
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    const auto [id, token] = LogIn("alice@tarvo.test", "alice&pass=1");
    const Session session{id, token};
    const std::string proxyToken = connect(session);
    EXPECT_FALSE(Tunnel(8, ProxyAuthorization("nobody", proxyToken))) << "a user's connection is not anonymous";
    auto tunnel = Tunnel(8, ProxyAuthorization(id, proxyToken));
    ASSERT_TRUE(tunnel);
    way.end(session, proxyToken);
    EXPECT_TRUE(EndsSoon(*tunnel));
    EXPECT_FALSE(Tunnel(8, ProxyAuthorization(id, proxyToken)));
  }
}

TEST_F(ProxyGuardTest, IdleAndSlowClientsDoNotLockOthersOut) {
  const std::string authorization = AnonymousAuthorization();
  const int proxy = service_->ProxyOf(7)->port();
  std::vector<TcpConnection> idle;
  for (size_t i = 0; i < 136; ++i) {
    if (auto connection = TcpConnection::Connect("127.0.0.1", proxy, 5000)) {
      connection->WriteAll(i % 2 == 0 ? "" : "GET http://www.tarvo.test/ HTTP/1.1\r\n");
      idle.push_back(std::move(*connection));
    }
  }
  const std::string page =
      RawExchange(proxy, "GET http://www.tarvo.test/ HTTP/1.1\r\nHost: www.tarvo.test\r\n" + authorization + "\r\n");
  EXPECT_EQ(Status(page), "HTTP/1.1 200") << page.substr(0, 200);
}

TEST_F(ProxyGuardTest, EachRequestGoesOnAloneWithoutTheProxysHeaders) {
  AllowEcho();
  const std::string authorization = AnonymousAuthorization();
  const int proxy = service_->ProxyOf(7)->port();
  const std::string target = "http://" + echo_.Destination();
  auto client = TcpConnection::Connect("127.0.0.1", proxy, 5000);
  ASSERT_TRUE(client);
  client->WriteAll("GET " + target + "/first HTTP/1.1\r\nHost: x\r\n" + authorization + "\r\nGET " + target +
                   "/second HTTP/1.1\r\nHost: x\r\n" + authorization + "\r\n");
  for (int round = 0; round < 50 && echo_.received().find("\r\n\r\n") == std::string::npos; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(echo_.received().rfind("GET /first HTTP/1.1\r\n", 0), 0u) << echo_.received();
  EXPECT_EQ(echo_.received().find("/second"), std::string::npos);
  EXPECT_EQ(echo_.received().find("Proxy-Authorization"), std::string::npos);

  // A line break inside a header would let one request carry another.
  const std::string smuggling = "GET " + target + "/ HTTP/1.1\r\nX-A: a\nGET /smuggled HTTP/1.1\r\n" + authorization;
  EXPECT_EQ(Status(RawExchange(proxy, smuggling + "\r\n")), "HTTP/1.1 400");
}

TEST_F(ProxyGuardTest, AFailingAccessCheckIsAnsweredAndTheProxyGoesOn) {
  int checks = 0;
  const ProxyDestinations destinations(ProxyDestinations::Plan{NodeAddress{"127.0.0.1", service_->port()}});
  ProxiedClients proxied;
  ProxyServer proxy(1, "127.0.0.1", 0, [&](std::string_view, std::string_view) -> bool {
    if (++checks == 1) throw std::runtime_error("database is locked");
    return false;
  }, destinations, proxied);
  const int port = proxy.Start();
  const std::string request = "GET http://www.tarvo.test/ HTTP/1.1\r\n" + ProxyAuthorization("nobody", "x") + "\r\n";
  EXPECT_EQ(Status(RawExchange(port, request)), "HTTP/1.1 503");
  EXPECT_EQ(Status(RawExchange(port, request)), "HTTP/1.1 407");
  EXPECT_EQ(proxy.Counts().unavailable, 1u);
}

// A CONNECT tunnel from `from` through `proxy` to `destination`, held open when the
// proxy answers 200; nullopt for any other answer.
std::optional<TcpConnection> TunnelFrom(const std::string& from, int proxy, const std::string& destination,
                                        const std::string& authorization) {
  auto tunnel = ConnectFrom(from, proxy);
  if (!tunnel) return std::nullopt;
  tunnel->SetReadTimeout(5);
  tunnel->WriteAll("CONNECT " + destination + " HTTP/1.1\r\n" + authorization + "\r\n");
  std::string answer;
  char chunk[256];
  while (answer.find("\r\n\r\n") == std::string::npos) {
    const long count = tunnel->ReadSome(chunk, sizeof(chunk));
    if (count <= 0) return std::nullopt;
    answer.append(chunk, static_cast<size_t>(count));
  }
  if (answer.rfind("HTTP/1.1 200", 0) != 0) return std::nullopt;
  return tunnel;
}

TEST_F(ProxyGuardTest, StoppingEndsTunnelsWhoseClientHalfClosedToASilentDestination) {
  // A destination that takes connections and never says a word.
  const int silent = BindListener("127.0.0.1", 0);
  ASSERT_GE(silent, 0);
  const std::string destination = "127.0.0.1:" + std::to_string(BoundPort(silent));
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  options.proxyAllow = {destination};
  StartService(options);
  auto tunnel = TunnelFrom("127.0.0.1", service_->ProxyOf(7)->port(), destination, AnonymousAuthorization());
  ASSERT_TRUE(tunnel);
  tunnel->ShutdownWrite();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto start = std::chrono::steady_clock::now();
  service_->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  ::close(silent);
}

TEST_F(ProxyGuardTest, AHandfulOfAddressesOrOneSharedTokenCannotFillANode) {
  AllowEcho();
  const int proxy = service_->ProxyOf(7)->port();
  const auto anonymous = [this](const std::string& from) {
    const ServiceReply reply = PostFrom(from, service_->port(), "app/v1.0/no_login_connection_vpn_node",
                                        "brand=TestBrand&node_id=7");
    EXPECT_EQ(reply.code(), 200) << from;
    return ProxyAuthorization("nobody", ServiceReply::ReadString(reply.data(), "proxy_token"));
  };
  // Three addresses of one /24, each with a connection of its own and a browser's
  // worth of tunnels: the network gets two browsers' worth.
  std::vector<TcpConnection> held;
  size_t refused = 0;
  for (int host = 1; host <= 3; ++host) {
    const std::string from = "127.0.7." + std::to_string(host);
    const std::string authorization = anonymous(from);
    for (size_t i = 0; i < ProxyServer::kMaxClientsPerAddress; ++i) {
      if (auto tunnel = TunnelFrom(from, proxy, echo_.Destination(), authorization)) {
        held.push_back(std::move(*tunnel));
      } else {
        ++refused;
      }
    }
  }
  EXPECT_EQ(held.size(), ProxyServer::kMaxClientsPerPrefix);
  EXPECT_EQ(refused, 3 * ProxyServer::kMaxClientsPerAddress - ProxyServer::kMaxClientsPerPrefix);
  // Another network is let in.
  EXPECT_TRUE(TunnelFrom("127.0.8.1", proxy, echo_.Destination(), anonymous("127.0.8.1")));

  // One token shared by two addresses carries one browser's worth between them.
  const std::string shared = anonymous("127.0.9.1");
  size_t sharedHeld = 0;
  for (const std::string from : {"127.0.9.1", "127.0.10.1"}) {
    for (size_t i = 0; i < ProxyServer::kMaxClientsPerAddress; ++i) {
      if (auto tunnel = TunnelFrom(from, proxy, echo_.Destination(), shared)) {
        held.push_back(std::move(*tunnel));
        ++sharedHeld;
      }
    }
  }
  EXPECT_EQ(sharedHeld, ProxyServer::kMaxClientsPerToken);
}

}  // namespace
}  // namespace tarvo::service::test
