// The service's front over plain HTTP and over TLS, as clients meet it (the nodes'
// proxies over TLS are run end to end in vpn_e2e_test), and its connection gate.
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "loopback_probe.h"
#include "net/http_post_form.h"
#include "service/connection_gate.h"
#include "service/http_front.h"
#include "service/proxy_protocol.h"
#include "service/socket_address.h"
#include "service/tcp_connection.h"
#include "service_fixture.h"
#include "tls_probe.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/test_credentials.h"

namespace tarvo::service::test {
namespace {

// A client that keeps its connection: requests sent one at a time, each answer read
// whole before the next goes.
struct KeptClient {
  std::function<bool(std::string_view)> send;
  std::function<long(char*, size_t)> read;

  std::string Ask(std::string_view request) const { return send(request) ? ReadAnswer(read) : std::string(); }
  // Whether the service closed the connection without a word within `within`.
  bool ClosedSilently(std::chrono::milliseconds within) const {
    const auto start = std::chrono::steady_clock::now();
    char byte = 0;
    return read(&byte, 1) <= 0 && std::chrono::steady_clock::now() - start < within;
  }
};

// A version request that lets the connection serve on.
std::string KeptVersionRequest(const std::string& extraHeaders = "") {
  const std::string form = "brand=TestBrand";
  return "POST /app/v1.0/version HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n" +
         extraHeaders + "Content-Length: " + std::to_string(form.size()) + "\r\n\r\n" + form;
}

bool KeptOpen(const std::string& answer) {
  return EnvelopeCode(answer) == 200 && answer.find("\r\nConnection: keep-alive\r\n") != std::string::npos;
}
bool Closing(const std::string& answer) { return answer.find("\r\nConnection: close\r\n") != std::string::npos; }

// One connection serves request after request until the client asks to close, and
// a connection that brought its share of requests is closed after the last answer.
void ServesRequestAfterRequest(const std::function<KeptClient()>& open) {
  const KeptClient client = open();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(KeptOpen(client.Ask(KeptVersionRequest()))) << "request " << i;
  }
  const std::string last = client.Ask(KeptVersionRequest("Connection: close\r\n"));
  EXPECT_EQ(EnvelopeCode(last), 200);
  EXPECT_TRUE(Closing(last));
  EXPECT_TRUE(client.ClosedSilently(std::chrono::seconds(2)));

  const KeptClient busy = open();
  for (size_t i = 1; i < HttpFront::kRequestsPerConnection; ++i) {
    ASSERT_TRUE(KeptOpen(busy.Ask(KeptVersionRequest()))) << "request " << i;
  }
  EXPECT_TRUE(Closing(busy.Ask(KeptVersionRequest())));
  EXPECT_TRUE(busy.ClosedSilently(std::chrono::seconds(2)));
}

class FrontTest : public ServiceFixture {
 protected:
  std::string Raw(const std::string& request) { return RawExchange(service_->port(), request); }

  static std::string PostHead(const std::string& path, const std::string& extraHeaders) {
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extraHeaders + "\r\n";
  }
};

TEST_F(FrontTest, OversizedBodiesAreRefusedBeforeTheyAreRead) {
  // At the limit a body is read and answered; one byte over, refused; either way
  // the next client is served.
  const size_t limit = ServiceOptions().maxBodyBytes;
  for (const auto& [size, code] : {std::pair{limit, 200}, std::pair{limit + 1, 413}}) {
    const std::string padding(size - std::string("brand=TestBrand&pad=").size(), 'p');
    EXPECT_EQ(PostRaw("app/v1.0/version", "brand=TestBrand&pad=" + padding).code(), code) << size;
    EXPECT_EQ(PostRaw("app/v1.0/version", "brand=TestBrand").code(), 200);
  }

  const ServiceReply tooLarge = PostRaw("app/v1.0/login", "username=" + std::string(300 * 1024, 'a'));
  EXPECT_EQ(tooLarge.code(), 413);

  const std::string announced =
      Raw(PostHead("/app/v1.0/login", "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 99999999\r\n"));
  EXPECT_EQ(announced.rfind("HTTP/1.1 413", 0), 0u);
  EXPECT_EQ(EnvelopeCode(announced), 413);

  // Bodies of unannounced length are not taken: the browser always says how long.
  std::string chunked = PostHead("/app/v1.0/login", "Transfer-Encoding: chunked\r\n");
  for (int i = 0; i < 80; ++i) chunked += "1000\r\n" + std::string(0x1000, 'b') + "\r\n";
  chunked += "0\r\n\r\n";
  EXPECT_EQ(EnvelopeCode(Raw(chunked)), 411);
}

TEST_F(FrontTest, FloodingAndStalledClientsDoNotStopOthers) {
  std::string manyLines = "GET / HTTP/1.1\r\nHost: www.tarvo.test\r\n";
  for (int i = 0; i < 200; ++i) manyLines += "X-" + std::to_string(i) + ": a\r\n";
  EXPECT_EQ(Raw(manyLines + "\r\n").rfind("HTTP/1.1 431", 0), 0u);
  EXPECT_EQ(Raw("GET / HTTP/1.1\r\nX: " + std::string(20000, 'a') + "\r\n\r\n").rfind("HTTP/1.1 431", 0), 0u);

  // Twice as many clients as workers, each stuck in the middle of a request.
  std::vector<TcpConnection> stalled;
  for (int i = 0; i < 8; ++i) {
    if (auto connection = TcpConnection::Connect("127.0.0.1", service_->port(), 5000)) {
      connection->WriteAll(i % 2 == 0 ? "POST /app/v1.0/login HTTP/1.1\r\nX-Slow: " : PostHead("/app/v1.0/login",
                                                                                                  "Content-Length: 50\r\n"));
      stalled.push_back(std::move(*connection));
    }
  }
  EXPECT_EQ(PostRaw("app/v1.0/version", "brand=TestBrand").code(), 200);
}

TEST_F(FrontTest, ABurstOfClientsFromOneAddressIsAnsweredWhole) {
  // More clients at once than requests could wait for a worker before, and than
  // connections from one address may wait in the gate: none is turned away.
  const std::string request = PostHead("/app/v1.0/version", "Content-Type: application/x-www-form-urlencoded\r\n"
                                                            "Content-Length: 15\r\n") + "brand=TestBrand";
  std::atomic<int> answered{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < 400; ++i) {
    clients.emplace_back([&] { answered += EnvelopeCode(Raw(request)) == 200 ? 1 : 0; });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(answered, 400);
}

KeptClient PlainClient(int port) {
  auto connection = std::make_shared<TcpConnection>(TcpConnection::Connect("127.0.0.1", port, 5000).value());
  connection->SetReadTimeout(10);
  return KeptClient{[connection](std::string_view data) { return connection->WriteAll(data); },
                    [connection](char* buffer, size_t capacity) { return connection->ReadSome(buffer, capacity); }};
}

TEST_F(FrontTest, KeptConnectionsServeOnWithinTheGatesBounds) {
  ServesRequestAfterRequest([this] { return PlainClient(service_->port()); });

  // Bytes after a request are not taken for the next one: that answer closes.
  const KeptClient pipelining = PlainClient(service_->port());
  const std::string answer = pipelining.Ask(KeptVersionRequest() + KeptVersionRequest());
  EXPECT_EQ(EnvelopeCode(answer), 200);
  EXPECT_TRUE(Closing(answer));

  // Kept connections wait under the gate's caps: one client keeps at most its share
  // of them past the settling time, the idlest let go without a word.
  std::vector<TcpConnection> kept;
  for (size_t i = 0; i < ConnectionGate::Limits{}.perAddress + 4; ++i) {
    kept.push_back(TcpConnection::Connect("127.0.0.1", service_->port(), 5000).value());
    kept.back().SetReadTimeout(10);
    ASSERT_TRUE(kept.back().WriteAll(KeptVersionRequest()));
    ASSERT_TRUE(KeptOpen(ReadAnswer([&](char* buffer, size_t capacity) { return kept.back().ReadSome(buffer, capacity); })));
  }
  std::this_thread::sleep_for(ConnectionGate::Limits{}.settle + std::chrono::milliseconds(500));
  const auto closed = std::count_if(kept.begin(), kept.end(), [](const TcpConnection& connection) {
    char byte = 0;
    return ::recv(connection.fd(), &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
  });
  EXPECT_EQ(closed, 4);

  // A kept connection silent past the idle limit is closed, and not before.
  const KeptClient idle = PlainClient(service_->port());
  ASSERT_TRUE(KeptOpen(idle.Ask(KeptVersionRequest())));
  std::this_thread::sleep_for(HttpFront::kKeepAliveIdle - std::chrono::seconds(1));
  ASSERT_TRUE(KeptOpen(idle.Ask(KeptVersionRequest()))) << "still open just before the idle limit";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(idle.ClosedSilently(HttpFront::kKeepAliveIdle + std::chrono::seconds(2)));
  EXPECT_GE(std::chrono::steady_clock::now() - start, HttpFront::kKeepAliveIdle - std::chrono::milliseconds(200));
}

TEST_F(FrontTest, WhatClientsSendDoesNotForgeLogLinesOrAddresses) {
  const std::string version = Raw(PostHead("/app/v1.0/version", "Host: evil.example\r\nContent-Length: 15\r\n") +
                                  "brand=TestBrand");
  EXPECT_EQ(version.find("evil.example"), std::string::npos);
  EXPECT_NE(version.find(service_->BaseUrl() + "download/"), std::string::npos);

  Raw("GET /x%0A1.2.3.4%20POST%20/app/v1.0/login%20200 HTTP/1.1\r\nConnection: close\r\n\r\n");
  service_->Stop();
  EXPECT_EQ(log_.str().find("\n1.2.3.4"), std::string::npos) << log_.str();
  EXPECT_NE(log_.str().find("/x\\x0a1.2.3.4"), std::string::npos) << log_.str();
}

TEST_F(FrontTest, WrongMethodsUnknownPathsAndBrokenRequests) {
  const std::string get = Raw("GET /app/v1.0/login HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(get.rfind("HTTP/1.1 405", 0), 0u);
  EXPECT_NE(get.find("Allow: POST"), std::string::npos);
  EXPECT_EQ(EnvelopeCode(get), 405);

  // Unknown paths answer HTTP 404, which the browser's client counts as a failure.
  std::string text;
  EXPECT_EQ(HttpPostForm(text, Utf8ToWide(service_->BaseUrl() + "app/v1.0/no_such_endpoint"), u"a=b"), -1);
  EXPECT_EQ(EnvelopeCode(Raw(PostHead("/app/v1.0/no_such_endpoint", "Content-Length: 3\r\n") + "a=b")), 404);
  EXPECT_EQ(EnvelopeCode(Raw("DELETE /app/v9/x HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")), 404);

  const std::string multipart =
      Raw(PostHead("/app/v1.0/login", "Content-Type: multipart/form-data; boundary=x\r\nContent-Length: 4\r\n") + "--x-");
  EXPECT_EQ(multipart.rfind("HTTP/1.1 415", 0), 0u);

  // The installer folder is all that downloads serve; a brand without a version has none.
  EXPECT_EQ(Fetch(service_->BaseUrl() + "download/..%2Fseed.json").status, 404);
  EXPECT_EQ(PostRaw("app/v1.0/version", "brand=ClosedBrand&type=PC").code(), 404);

  // A client that gives up half way through its body leaves nothing behind.
  RawExchange(service_->port(),
              PostHead("/app/v1.0/register", "Content-Length: 100\r\n") + "username=half&password=x&bra");
  EXPECT_EQ(Post("app/v1.0/login", FormBody().Add("username", "half").Add("password", "x")).code(), 401);
}

TEST_F(FrontTest, OddBytesInFormsGetClearReplies) {
  EXPECT_EQ(PostRaw("app/v1.0/login", "username=%zz%&password=%").code(), 401);
  EXPECT_EQ(PostRaw("app/v1.0/login", "&&&=&username").code(), 400);
  EXPECT_EQ(PostRaw("app/v1.0/register", "username=%00nul&password=x&brand=TestBrand").code(), 400);
  EXPECT_EQ(PostRaw("app/v1.0/register", "username=it's \"quoted\"; DROP TABLE users&password=x&brand=TestBrand").code(),
            200);
  EXPECT_EQ(Post("app/v1.0/login", FormBody().Add("username", "it's \"quoted\"; DROP TABLE users").Add("password", "x"))
                .code(),
            200);
  EXPECT_EQ(PostRaw("app/v1.0/user_info", "id=99999999999999999999999&token=x").code(), 401);
}

// A launch report as a raw request, the platform standing for the report in the table.
std::string LaunchReport(const std::string& platform, const std::string& extraHeaders = "") {
  return FormRequest("/app/v1.0/log_client_launch", "brand=TestBrand&platform=" + platform + "&clientversion=1",
                     extraHeaders);
}

TEST_F(FrontTest, ARelayNamesItsClientInAProxyHeaderOnlyWhenTrusted) {
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  options.proxyProtocolFrom = {"127.0.0.1"};
  options.forwardedBy = {"127.0.0.1"};
  StartService(options);
  const auto header = [](const std::string& client) {
    return ProxyProtocol::Header(NodeAddress{client, 40000}, NodeAddress{"127.0.0.1", 3128});
  };
  const auto reportedBy = [this](const std::string& platform) {
    return Scalar("SELECT remote_address FROM launches WHERE platform='" + platform + "'");
  };
  // The relay's client is the client, whatever X-Forwarded-For the request carries.
  EXPECT_EQ(EnvelopeCode(Raw(header("198.51.100.9") + LaunchReport("relayed", "X-Forwarded-For: 203.0.113.1\r\n"))),
            200);
  EXPECT_EQ(reportedBy("relayed"), "198.51.100.9");
  // A relayed client is never this machine, even one on loopback.
  const std::string status = "GET /status/proxies HTTP/1.1\r\n\r\n";
  EXPECT_EQ(Raw(header("127.0.0.1") + status).rfind("HTTP/1.1 404", 0), 0u);
  EXPECT_EQ(Raw(status).rfind("HTTP/1.1 200", 0), 0u) << "the relay's own address without a header";
  std::string local = header("127.0.0.1").substr(0, 16);
  local[12] = '\x20';
  local[14] = local[15] = '\0';
  EXPECT_EQ(Raw(local + status).rfind("HTTP/1.1 200", 0), 0u) << "the relay speaking for itself (LOCAL)";
  // A header that is not whole and valid ends the connection; from anyone else a
  // header is no request at all.
  EXPECT_EQ(Raw(header("198.51.100.9").substr(0, 14) + std::string(40, 'x')), "");
  EXPECT_EQ(EnvelopeCode(RawExchange(service_->port(), header("198.51.100.10") + LaunchReport("stranger"),
                                     "127.0.0.1", "127.0.0.2")),
            -1);
  EXPECT_EQ(reportedBy("stranger"), "");
}

class TlsFrontTest : public ServiceFixture {
 protected:
  void SetUp() override {
    ServiceOptions options = DefaultOptions();
    options.plainHttp = false;
    options.tlsCertPath = tls_.certificateFile();
    options.tlsKeyPath = tls_.certificateKeyFile();
    StartService(options);
    Trust(service_->BaseUrl(), tls_.caFile());
  }
  void TearDown() override {
    Trust("", "");
    ServiceFixture::TearDown();
  }
  // The front's certificate, from a CA made for the test.
  const tarvo::test::TestCredentials tls_{dir_.path() / "tls"};
  static void Trust(const std::string& apiUrl, const std::string& caFile) {
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(apiUrl));
    SettingsRegistry::Instance().Set(SettingsKeys::kServiceCaFile, Utf8ToWide(caFile));
  }
  static int64_t VersionCode() {
    ServiceReply reply;
    return CallService(u"app/v1.0/version", FormBody().Add("brand", "TestBrand"), reply) == 0 ? reply.code() : -1;
  }
};

TEST_F(TlsFrontTest, HandshakesWaitInTheGateAndOnlyACertificateThatVerifiesForTheServiceIsTaken) {
  const std::string base = service_->BaseUrl();
  ASSERT_EQ(base.rfind("https://127.0.0.1:", 0), 0u) << base;
  // Clients stalled half way through a ClientHello wait in the gate under its caps:
  // more than one address may keep waiting, and the oldest are pushed out.
  std::vector<TcpConnection> stalled;
  for (size_t i = 0; i < ConnectionGate::Limits{}.perAddress + 4; ++i) {
    if (auto connection = TcpConnection::Connect("127.0.0.1", service_->port(), 5000)) {
      connection->WriteAll(std::string("\x16\x03\x01\x02\x00\x01", 6));
      stalled.push_back(std::move(*connection));
    }
  }
  EXPECT_EQ(VersionCode(), 200);
  // Once they have waited past the gate's settling time, the client's connections
  // beyond its cap are pushed out, the silent longest first: five of the stalled ones,
  // since the version request's connection, kept for its next request, counts too and
  // was heard last. Which five depends on the order in which the handshake threads
  // took their first bytes, so only the number is certain.
  const size_t beyondCap = stalled.size() + 1 - ConnectionGate::Limits{}.perAddress;
  const auto pushedOut = [&stalled] {
    size_t closed = 0;
    for (const TcpConnection& connection : stalled) {
      char byte = 0;
      closed += ::recv(connection.fd(), &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0 ? 1 : 0;
    }
    return closed;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (pushedOut() < beyondCap && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(pushedOut(), beyondCap);

  const tarvo::test::TestCredentials stranger(dir_.path() / "stranger");
  const std::string port = std::to_string(service_->port());
  struct Case {
    const char* what;
    std::string apiUrl;
    std::string caFile;
  };
  for (const Case& refused : {Case{"the system's store alone", base, ""},
                              Case{"another CA", base, stranger.caFile()},
                              Case{"a name the certificate does not carry", "https://localhost:" + port + "/",
                                   tls_.caFile()},
                              Case{"plain HTTP to the TLS port", "http://127.0.0.1:" + port + "/", ""}}) {
    Trust(refused.apiUrl, refused.caFile);
    EXPECT_EQ(VersionCode(), -1) << refused.what;
  }
  Trust(base, tls_.caFile());
  EXPECT_EQ(VersionCode(), 200) << "and the service goes on";
}

TEST_F(TlsFrontTest, ARelaysHeaderComesBeforeTheHandshake) {
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  options.plainHttp = false;
  options.tlsCertPath = tls_.certificateFile();
  options.tlsKeyPath = tls_.certificateKeyFile();
  options.proxyProtocolFrom = {"127.0.0.1"};
  StartService(options);
  Trust(service_->BaseUrl(), tls_.caFile());
  const auto probe = TlsProbe::Open(service_->port(), tls_.caFile(),
                                    ProxyProtocol::Header(NodeAddress{"198.51.100.11", 1}, NodeAddress{"127.0.0.1", 2}));
  ASSERT_TRUE(probe);
  ASSERT_TRUE(probe->Send(LaunchReport("tls-relayed")));
  EXPECT_EQ(EnvelopeCode(probe->ReadAll()), 200);
  EXPECT_EQ(Scalar("SELECT remote_address FROM launches WHERE platform='tls-relayed'"), "198.51.100.11");
  // And a client that sends none is served as before.
  EXPECT_EQ(VersionCode(), 200);
}

TEST_F(TlsFrontTest, KeptConnectionsServeOnThroughTheirSession) {
  ServesRequestAfterRequest([this] {
    std::shared_ptr<TlsProbe> probe = TlsProbe::Open(service_->port(), tls_.caFile());
    return KeptClient{[probe](std::string_view data) { return probe && probe->Send(data); },
                      [probe](char* buffer, size_t capacity) { return probe ? probe->Read(buffer, capacity) : -1L; }};
  });
}

TEST_F(TlsFrontTest, PlainMirrorAddressesServePagesButNeverTheService) {
  // The seed's mirror 127.0.0.21 stands in for another site: plain HTTP.
  const std::string page = RawExchange(service_->port(), "GET / HTTP/1.1\r\nHost: 127.0.0.21\r\n\r\n", "127.0.0.21");
  EXPECT_EQ(page.rfind("HTTP/1.1 200", 0), 0u) << page;
  const std::string api = RawExchange(service_->port(),
                                      "POST /app/v1.0/version HTTP/1.1\r\nHost: 127.0.0.21\r\nContent-Length: 15\r\n\r\n"
                                      "brand=TestBrand",
                                      "127.0.0.21");
  EXPECT_EQ(api.rfind("HTTP/1.1 404", 0), 0u) << api;
  EXPECT_NE(api.find("HTTPS only"), std::string::npos) << api;
}

// The gate's cap on one client's waiting connections counts the client's silence,
// not the gate's own delay.
using namespace std::chrono_literals;

TEST(ConnectionGate, RequestsThatArriveWhileTheGateIsBusyAreNotTakenForSilence) {
  // Two connections of one client wait; a third request keeps the gate busy (as a
  // burst of TLS handshakes does) past `settle`, while the two send theirs. Pushing
  // them out as silent would fail a burst of quick clients from one address.
  ConnectionGate::Limits limits;
  limits.perAddress = 1;
  limits.settle = 500ms;
  std::mutex mutex;
  std::set<std::string> handedOver;
  ConnectionGate gate(
      limits,
      [](std::string_view received) {
        if (received == "busy") std::this_thread::sleep_for(1500ms);
        using Kind = ConnectionGate::Verdict::Kind;
        return ConnectionGate::Verdict{received.ends_with('\n') ? Kind::kComplete : Kind::kMore};
      },
      [&](TcpConnection, const std::string&, const std::optional<std::string>&, std::string received, size_t) {
        std::lock_guard lock(mutex);
        handedOver.insert(received);
      },
      ConnectionGate::Replies{"timed out", "too large"});
  const int listener = BindListener("127.0.0.1", 0);
  ASSERT_GE(listener, 0);
  const int port = BoundPort(listener);
  gate.Listen(listener);
  gate.Start();

  auto first = TcpConnection::Connect("127.0.0.1", port, 5000);
  auto second = TcpConnection::Connect("127.0.0.1", port, 5000);
  std::this_thread::sleep_for(100ms);
  auto busy = TcpConnection::Connect("127.0.0.1", port, 5000);
  ASSERT_TRUE(first && second && busy);
  busy->WriteAll("busy");
  std::this_thread::sleep_for(700ms);
  first->WriteAll("first\n");
  second->WriteAll("second\n");

  const auto deadline = std::chrono::steady_clock::now() + 5s;
  for (;;) {
    {
      std::lock_guard lock(mutex);
      if (handedOver.size() == 2 || std::chrono::steady_clock::now() > deadline) {
        EXPECT_EQ(handedOver, (std::set<std::string>{"first\n", "second\n"}));
        break;
      }
    }
    std::this_thread::sleep_for(20ms);
  }
  gate.Stop();
}

}  // namespace
}  // namespace tarvo::service::test
