// Several tarvo-service processes on one PostgreSQL database: any of them answers
// any request.
#include <gtest/gtest.h>

#include <cstdlib>

#include "child_service.h"
#include "echo_server.h"
#include "loopback_probe.h"
#include "service/account_endpoints.h"
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
  ChildService first(Arguments(database.address(), {"--plain-http", "--seed",
                                                    std::string(std::getenv("TARVO_TEST_DATA")) + "/service/seed.json"}));
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

}  // namespace
}  // namespace tarvo::service::test
