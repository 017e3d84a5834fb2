// Several tarvo-service processes on one PostgreSQL database: any of them answers
// any request.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <set>

#include "child_service.h"
#include "echo_server.h"
#include "loopback_probe.h"
#include "service/account_endpoints.h"
#include "service/service_database.h"
#include "service/write_locks.h"
#include "test_database.h"

namespace tarvo::service::test {
namespace {

std::vector<std::string> Arguments(const std::string& database, std::vector<std::string> more) {
  std::vector<std::string> arguments{"--port", "0", "--database", database, "--password-iterations", "1000",
                                     "--quiet"};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

TEST(SharedDatabase, ProcessesAnswerForEachOtherAndTheirProxiesObeyThemAll) {
  if (!TestDatabase::Server()) GTEST_SKIP() << "runs where the test command started a PostgreSQL server";
  TestDatabase database;
  EchoServer echo;
  // The first stands behind a balancer on loopback, and takes the proxies' word
  // for who their clients are.
  ChildService first(Arguments(database.address(), {"--plain-http", "--seed",
                                                    std::string(std::getenv("TARVO_TEST_DATA")) + "/service/seed.json",
                                                    "--forwarded-by", "127.0.0.1", "--proxy-protocol-from",
                                                    "127.0.0.1"}));
  const int firstPort = first.Port();
  ASSERT_NE(firstPort, 0) << first.text();
  ChildService second(Arguments(database.address(), {"--plain-http"}));
  const int secondPort = second.Port();
  ASSERT_NE(secondPort, 0) << second.text();
  // The nodes' proxies on their own, sending test-domain requests to the first (no
  // front of their own, so no transport to choose).
  ChildService proxies(Arguments(database.address(), {"--proxies-only", "--proxy-ports", "auto", "--proxy-allow",
                                                     echo.Destination(), "--port", std::to_string(firstPort)}));
  const std::vector<int> proxyPorts = proxies.ProxyPorts(2);  // nodes 7 and 8
  ASSERT_EQ(proxyPorts.size(), 2u) << proxies.text();

  // A token issued by one process is valid on the other.
  const ServiceReply login =
      PostFrom("127.0.0.1", firstPort, "app/v1.0/login", "username=alice@tarvo.test&password=alice%26pass%3D1");
  ASSERT_EQ(login.code(), 200) << login.message();
  const std::string id = std::to_string(ServiceReply::ReadInt(login.data(), "id"));
  const std::string token = ServiceReply::ReadString(login.data(), "token");
  EXPECT_EQ(PostFrom("127.0.0.1", secondPort, "app/v1.0/user_info", "id=" + id + "&token=" + token).code(), 200);

  // A connection opened on the second carries a tunnel through the proxies'
  // process; cancelled on the first, the tunnel ends.
  const ServiceReply connected =
      PostFrom("127.0.0.1", secondPort, "app/v1.0/connection_vpn_node", "id=" + id + "&token=" + token + "&node_id=8");
  const std::string proxyToken = ServiceReply::ReadString(connected.data(), "proxy_token");
  ASSERT_FALSE(proxyToken.empty()) << connected.message();
  auto tunnel = EchoTunnel(proxyPorts[1], echo.Destination(), ProxyAuthorization(id, proxyToken));
  ASSERT_TRUE(tunnel);
  EXPECT_EQ(PostFrom("127.0.0.1", firstPort, "app/v1.0/cancel_connection",
                     "id=" + id + "&token=" + token + "&proxy_token=" + proxyToken)
                .code(),
            200);
  EXPECT_TRUE(EndsSoon(*tunnel));

  // Requests through the proxies' process are their clients', on the first's front.
  const auto anonymousFrom = [&](const std::string& from) {
    const ServiceReply reply =
        PostFrom(from, firstPort, "app/v1.0/no_login_connection_vpn_node", "brand=TestBrand&node_id=7");
    EXPECT_EQ(reply.code(), 200) << reply.message();
    return ProxyAuthorization("nobody", ServiceReply::ReadString(reply.data(), "proxy_token"));
  };
  const std::string viaFive = anonymousFrom("127.0.0.5");
  const std::string viaSix = anonymousFrom("127.0.0.6");
  const auto throughProxies = [&](const std::string& from, const std::string& request) {
    return RawExchange(proxyPorts[0], request, "127.0.0.1", from);
  };
  // Counted as the client, never as the proxies' own loopback address, and its own
  // X-Forwarded-For is not believed (loopback is a trusted balancer here).
  EXPECT_EQ(EnvelopeCode(throughProxies(
                "127.0.0.5", FormRequest("http://www.tarvo.test/app/v1.0/log_client_launch",
                                         "brand=TestBrand&platform=proxied&clientversion=1",
                                         viaFive + "X-Forwarded-For: 198.51.100.77\r\n"))),
            200);
  {
    auto db = ServiceDatabase::Connect(database.address());
    auto query = db->Prepare("SELECT remote_address FROM launches WHERE platform='proxied'");
    ASSERT_TRUE(query.Step());
    EXPECT_EQ(query.Text(0), "127.0.0.5");
  }
  // Not answered at /status/proxies.
  const std::string status =
      throughProxies("127.0.0.5", "GET http://www.tarvo.test/status/proxies HTTP/1.1\r\nHost: www.tarvo.test\r\n" +
                                      viaFive + "\r\n");
  EXPECT_EQ(status.rfind("HTTP/1.1 404", 0), 0u) << status.substr(0, 100);
  // A guesser behind the proxies locks out itself, not every client of theirs.
  const std::string loginTarget = "http://www.tarvo.test/app/v1.0/login";
  for (int i = 0; i < AccountEndpoints::kLoginFailures; ++i) {
    ASSERT_EQ(EnvelopeCode(throughProxies(
                  "127.0.0.5", FormRequest(loginTarget, "username=carol%40tarvo.test&password=guess", viaFive))),
              401);
  }
  EXPECT_EQ(EnvelopeCode(throughProxies(
                "127.0.0.5", FormRequest(loginTarget, "username=carol%40tarvo.test&password=carol-pass", viaFive))),
            429);
  EXPECT_EQ(EnvelopeCode(throughProxies(
                "127.0.0.6", FormRequest(loginTarget, "username=carol%40tarvo.test&password=carol-pass", viaSix))),
            200);

  // Sessions the server ends (a restart) are replaced without failing a request.
  database.EndSessions();
  for (const int port : {firstPort, secondPort, firstPort, secondPort}) {
    EXPECT_EQ(PostFrom("127.0.0.1", port, "app/v1.0/user_info", "id=" + id + "&token=" + token).code(), 200);
    EXPECT_EQ(PostFrom("127.0.0.1", port, "app/v1.0/log_client_launch", "brand=TestBrand&platform=PC").code(), 200);
  }

  // Failed log-ins count on every process: guesses spread over both are stopped
  // after the same number as on one.
  for (int i = 0; i < AccountEndpoints::kLoginFailures; ++i) {
    EXPECT_EQ(PostFrom("127.0.0.1", i % 2 == 0 ? firstPort : secondPort, "app/v1.0/login",
                       "username=bob@tarvo.test&password=guess")
                  .code(),
              401);
  }
  EXPECT_EQ(
      PostFrom("127.0.0.1", secondPort, "app/v1.0/login", "username=bob@tarvo.test&password=bob-pass").code(), 429);
  EXPECT_EQ(PostFrom("127.0.0.1", firstPort, "app/v1.0/login", "username=bob@tarvo.test&password=bob-pass").code(),
            429);
}

// Writes of different accounts do not wait for each other, in one process or
// across several; writes of one account take turns, so none of them is lost.
TEST(SharedDatabase, WritesOfOneAccountTakeTurnsAndOfOthersDoNot) {
  if (!TestDatabase::Server()) GTEST_SKIP() << "runs where the test command started a PostgreSQL server";
  TestDatabase database;
  ChildService first(Arguments(database.address(), {"--plain-http", "--seed",
                                                    std::string(std::getenv("TARVO_TEST_DATA")) + "/service/seed.json"}));
  const int firstPort = first.Port();
  ASSERT_NE(firstPort, 0) << first.text();
  ChildService second(Arguments(database.address(), {"--plain-http"}));
  const int secondPort = second.Port();
  ASSERT_NE(secondPort, 0) << second.text();
  const auto logIn = [&](const std::string& form) {
    const ServiceReply reply = PostFrom("127.0.0.1", firstPort, "app/v1.0/login", form);
    EXPECT_EQ(reply.code(), 200) << reply.message();
    return std::make_pair(ServiceReply::ReadInt(reply.data(), "id"), ServiceReply::ReadString(reply.data(), "token"));
  };
  const auto aliceLogin = logIn("username=alice@tarvo.test&password=alice%26pass%3D1");
  const int64_t aliceId = aliceLogin.first;
  const std::string alice = aliceLogin.second;
  const std::string bob = logIn("username=bob@tarvo.test&password=bob-pass").second;
  const auto addFolder = [](int port, const std::string& token, const std::string& name) {
    return PostFrom("127.0.0.1", port, "app/v1.0/add_fav_item",
                    "token=" + token + R"(&data={"type":"folder","name":")" + name + R"("})")
        .code();
  };

  // Alice's lock held, as a request of hers holds it while it writes.
  auto holder = ServiceDatabase::Connect(database.address());
  holder->Execute(holder->dialect().BeginWrite());
  WriteLocks::Take(*holder, {WriteLocks::OfUser(aliceId)});
  auto held = std::async(std::launch::async, [&] { return addFolder(firstPort, alice, "held"); });
  EXPECT_EQ(addFolder(secondPort, bob, "meanwhile"), 200) << "another account's write waits for nothing of hers";
  EXPECT_EQ(addFolder(firstPort, bob, "meanwhile too"), 200);
  EXPECT_EQ(held.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout)
      << "her own write waits for her lock";
  holder->Execute("COMMIT");
  EXPECT_EQ(held.get(), 200);

  // Her document edited from both processes at once: every edit kept, each item
  // with an id of its own.
  constexpr int kEdits = 16;
  std::vector<std::future<int64_t>> edits;
  for (int i = 0; i < kEdits; ++i) {
    edits.push_back(std::async(std::launch::async, [&, i] {
      return addFolder(i % 2 == 0 ? firstPort : secondPort, alice, "edit " + std::to_string(i));
    }));
  }
  for (auto& edit : edits) {
    EXPECT_EQ(edit.get(), 200);
  }
  const ServiceReply list = PostFrom("127.0.0.1", secondPort, "app/v1.0/list_user_fav", "token=" + alice);
  std::set<std::string> ids;
  int kept = 0;
  for (const Json::Value& item : list.data()["favor"]) {
    ids.insert(item["id"].asString());
    kept += item["name"].asString().rfind("edit ", 0) == 0 ? 1 : 0;
  }
  EXPECT_EQ(kept, kEdits);
  EXPECT_EQ(ids.size(), list.data()["favor"].size()) << "an id handed out twice";
}

}  // namespace
}  // namespace tarvo::service::test
