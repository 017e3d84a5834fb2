// The built tarvo-service under hostile clients, each attack reproduced on loopback.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_service.h"
#include "loopback_probe.h"
#include "support/temp_dir.h"
#include "support/test_credentials.h"
#include "tls_probe.h"

namespace tarvo::service::test {
namespace {

const std::string kDemoLogin = "username=demo%40tarvo.test&password=";

std::string FormPost(const std::string& target, const std::string& form, const std::string& extraHeaders = "") {
  return "POST " + target + " HTTP/1.1\r\nHost: www.tarvo.test\r\nContent-Type: application/x-www-form-urlencoded\r\n" +
         extraHeaders + "Content-Length: " + std::to_string(form.size()) + "\r\n\r\n" + form;
}

// How many of `connections` the service has let go of entirely: a byte sent on a
// connection whose far end is closed is answered with a reset, which makes the
// next send fail (a service that only stopped sending and still reads does not).
size_t CountLetGo(const std::vector<TcpConnection>& connections) {
  const auto refuses = [](const TcpConnection& connection) {
    return ::send(connection.fd(), "x", 1, MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno != EAGAIN;
  };
  std::vector<bool> letGo;
  for (const TcpConnection& connection : connections) letGo.push_back(refuses(connection));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  for (size_t i = 0; i < connections.size(); ++i) {
    char sink[4096];
    while (::recv(connections[i].fd(), sink, sizeof(sink), MSG_DONTWAIT) > 0) {
    }
    letGo[i] = letGo[i] || refuses(connections[i]);
  }
  return static_cast<size_t>(std::count(letGo.begin(), letGo.end(), true));
}

// `count` connections from `from` to `port`, each having sent `request`.
std::vector<TcpConnection> Clients(const std::string& from, int port, int count, const std::string& request) {
  std::vector<TcpConnection> clients;
  for (int i = 0; i < count; ++i) {
    if (auto client = ConnectFrom(from, port)) {
      client->WriteAll(request);
      clients.push_back(std::move(*client));
    }
  }
  return clients;
}

class HostileClientsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A thousand idle connections on the client side need more than the usual 1,024.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
      files.rlim_cur = files.rlim_max;
      setrlimit(RLIMIT_NOFILE, &files);
    }
  }

  // Over plain HTTP unless `more` holds the TLS arguments.
  void Start(const std::string& seed, const std::vector<std::string>& more = {}) {
    std::vector<std::string> arguments{"--port", "0", "--data", (dir_.path() / "service.db").string(), "--seed", seed,
                                       "--proxy-ports", "auto", "--password-iterations", "1000", "--quiet"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    if (std::find(more.begin(), more.end(), "--tls-cert") == more.end()) arguments.push_back("--plain-http");
    service_ = std::make_unique<ChildService>(arguments);
    port_ = service_->Port();
    ASSERT_NE(port_, 0) << service_->text();
  }

  ServiceReply Post(const std::string& from, const std::string& path, const std::string& form) {
    return PostFrom(from, port_, path, form);
  }

  // The proxy credentials of an anonymous connection to node 1, asked for from `from`.
  std::string AnonymousAuthorization(const std::string& from) {
    const ServiceReply reply = Post(from, "app/v1.0/no_login_connection_vpn_node", "brand=TarvoBrowser&node_id=1");
    EXPECT_EQ(reply.code(), 200) << reply.message();
    return ProxyAuthorization("nobody", ServiceReply::ReadString(reply.data(), "proxy_token"));
  }

  // A seed whose only brand announces a 64 MB installer.
  std::string LargeInstallerSeed() {
    const std::filesystem::path installer = dir_.WriteFile("installer/tarvo-9.9.9.9.bin", "");
    std::filesystem::resize_file(installer, kInstallerBytes);
    return dir_.WriteFile("seed.json", R"({"brands": [{"name": "TarvoBrowser", "version": "9.9.9.9",
                                           "installer": "installer/tarvo-9.9.9.9.bin"}]})");
  }
  static constexpr uintmax_t kInstallerBytes = 64 * 1024 * 1024;
  const std::string kDownload = "GET /download/tarvo-9.9.9.9.bin HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

  tarvo::test::TempDir dir_;
  std::unique_ptr<ChildService> service_;
  int port_ = 0;
};

TEST_F(HostileClientsTest, UnreadDownloadsHoldNoWorkerAndAreCappedPerClient) {
  // A large installer, asked for by more clients than there are workers, none of
  // which reads its answer.
  Start(LargeInstallerSeed(), {"--threads", "2"});
  std::vector<TcpConnection> readers = Clients("127.0.0.1", port_, 10, kDownload);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(Post("127.0.0.1", "app/v1.0/version", "brand=TarvoBrowser").code(), 200);

  size_t sending = 0;
  size_t refused = 0;
  for (TcpConnection& reader : readers) {
    reader.SetReadTimeout(5);
    char status[12];
    if (reader.ReadSome(status, sizeof(status)) == static_cast<long>(sizeof(status))) {
      const std::string line(status, sizeof(status));
      sending += line == "HTTP/1.1 200" ? 1 : 0;
      refused += line == "HTTP/1.1 429" ? 1 : 0;
    }
  }
  EXPECT_EQ(sending, 8u);
  EXPECT_EQ(refused, 2u);
}

TEST_F(HostileClientsTest, DownloadsOverTlsLeaveWholeAndEncipheredAndUnreadOnesHoldNoWorker) {
  // As above over TLS, where every byte the sender sends, and the end of the
  // answer, must go through the connection's TLS session.
  const tarvo::test::TestCredentials credentials(dir_.path() / "credentials");
  Start(LargeInstallerSeed(), [&] {
    std::vector<std::string> more = credentials.ServiceArguments();
    more.insert(more.end(), {"--threads", "2"});
    return more;
  }());
  std::vector<std::unique_ptr<TlsProbe>> readers;
  for (int i = 0; i < 9; ++i) {
    readers.push_back(TlsProbe::Open(port_, credentials.caFile()));
    ASSERT_TRUE(readers.back() && readers.back()->Send(kDownload));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const auto asker = TlsProbe::Open(port_, credentials.caFile());
  ASSERT_TRUE(asker && asker->Send(FormPost("/app/v1.0/version", "brand=TarvoBrowser")));
  EXPECT_EQ(EnvelopeCode(asker->ReadAll()), 200);

  std::vector<TlsProbe*> sending;
  size_t refused = 0;
  for (const auto& reader : readers) {
    char status[12];
    const std::string line(status, static_cast<size_t>(std::max(0L, reader->Read(status, sizeof(status)))));
    if (line == "HTTP/1.1 200") sending.push_back(reader.get());
    refused += line == "HTTP/1.1 429" ? 1 : 0;
  }
  ASSERT_EQ(sending.size(), 8u);
  EXPECT_EQ(refused, 1u);
  // One reader takes its download, slowly at first, so the sender goes on with it
  // from where the client stopped taking; it ends with the service's close_notify.
  std::string head;
  uintmax_t received = 0;
  char chunk[64 * 1024];
  long count = 0;
  for (int turn = 0; (count = sending.front()->Read(chunk, sizeof(chunk))) > 0; ++turn) {
    if (head.find("\r\n\r\n") == std::string::npos) head.append(chunk, static_cast<size_t>(count));
    received += static_cast<uintmax_t>(count);
    if (turn < 20) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(count, 0) << "the answer ends with close_notify";
  // `head` and `received` start after the status line.
  EXPECT_EQ(received - (head.find("\r\n\r\n") + 4), kInstallerBytes) << head.substr(0, head.find("\r\n\r\n"));
}

TEST_F(HostileClientsTest, RefusedProxyClientsHoldNoThreadAndAreClosedSoon) {
  Start(DemoSeed());
  const int proxy = service_->ProxyPorts(1).at(0);
  // More clients without credentials than the proxy has threads, each sending a
  // byte every half second after its head.
  const std::vector<TcpConnection> refused =
      Clients("127.0.0.1", proxy, 140, "GET http://www.tarvo.test/ HTTP/1.1\r\nHost: www.tarvo.test\r\n\r\n");
  ASSERT_EQ(refused.size(), 140u);
  std::atomic<bool> stop{false};
  std::thread trickle([&] {
    for (int round = 0; round < 12 && !stop; ++round) {
      for (const TcpConnection& client : refused) ::send(client.fd(), "x", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::string page = RawExchange(proxy, "GET http://www.tarvo.test/ HTTP/1.1\r\nHost: www.tarvo.test\r\n" +
                                                  AnonymousAuthorization("127.0.0.1") + "\r\n");
  EXPECT_EQ(page.rfind("HTTP/1.1 200", 0), 0u) << page.substr(0, 100);
  std::this_thread::sleep_for(std::chrono::seconds(3));
  EXPECT_EQ(CountLetGo(refused), refused.size());
  stop = true;
  trickle.join();
}

TEST_F(HostileClientsTest, RequestsThroughAProxyAreTheirClientsNeverLocal) {
  Start(DemoSeed());
  const int proxy = service_->ProxyPorts(1).at(0);
  const std::string authorization = AnonymousAuthorization("127.0.0.7");
  const auto throughProxy = [&](const std::string& request) {
    return RawExchange(proxy, request, "127.0.0.1", "127.0.0.7");
  };
  // The service's own counters are for this machine, not for whoever a proxy carries.
  const std::string status = "GET http://www.tarvo.test/status/proxies HTTP/1.1\r\nHost: www.tarvo.test\r\n";
  EXPECT_EQ(throughProxy(status + authorization + "\r\n").rfind("HTTP/1.1 404", 0), 0u);
  EXPECT_EQ(RawExchange(port_, "GET /status/proxies HTTP/1.1\r\n\r\n").rfind("HTTP/1.1 200", 0), 0u);

  // A guesser behind a proxy locks out itself, not everyone on this machine.
  const std::string target = "http://www.tarvo.test/app/v1.0/login";
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(EnvelopeCode(throughProxy(FormPost(target, kDemoLogin + "guess", authorization))), 401);
  }
  EXPECT_EQ(EnvelopeCode(throughProxy(FormPost(target, kDemoLogin + "demo1234", authorization))), 429);
  EXPECT_EQ(Post("127.0.0.1", "app/v1.0/login", kDemoLogin + "demo1234").code(), 200);
}

TEST_F(HostileClientsTest, AnonymousClientsGetTheirLiveConnectionAndFewFreshOnes) {
  Start(DemoSeed());
  const auto connect = [&](const std::string& from) {
    return Post(from, "app/v1.0/no_login_connection_vpn_node", "brand=TarvoBrowser&node_id=1");
  };
  const std::string token = ServiceReply::ReadString(connect("127.0.0.1").data(), "proxy_token");
  EXPECT_EQ(ServiceReply::ReadString(connect("127.0.0.1").data(), "proxy_token"), token);

  // Cancelling and asking again gets a fresh allowance only so many times.
  int opened = 1;
  for (std::string live = token; opened < 50; ++opened) {
    Post("127.0.0.1", "app/v1.0/no_login_cancel_connection", "brand=TarvoBrowser&proxy_token=" + live);
    const ServiceReply again = connect("127.0.0.1");
    if (again.code() != 200) {
      EXPECT_EQ(again.code(), 429);
      break;
    }
    live = ServiceReply::ReadString(again.data(), "proxy_token");
  }
  EXPECT_LT(opened, 50);
  EXPECT_EQ(connect("127.0.0.8").code(), 200) << "another client is not affected";
}

TEST_F(HostileClientsTest, AWaitingRoomFullOfIdleConnectionsStillLetsRequestsIn) {
  Start(DemoSeed());
  std::vector<TcpConnection> idle;
  for (int address = 1; address <= 16; ++address) {
    for (TcpConnection& connection : Clients("127.0.9." + std::to_string(address), port_, 64, "")) {
      idle.push_back(std::move(connection));
    }
  }
  ASSERT_EQ(idle.size(), 1024u);
  EXPECT_EQ(Post("127.0.0.1", "app/v1.0/version", "brand=TarvoBrowser").code(), 200);
  // Past a moment to send a request, each address keeps only its share waiting.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_LE(idle.size() - CountLetGo(idle), 16u * 16u);
}

}  // namespace
}  // namespace tarvo::service::test
