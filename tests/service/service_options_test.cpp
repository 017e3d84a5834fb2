#include "service/service_options.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/scoped_env.h"

namespace tarvo::service {
namespace {

bool Parse(std::vector<const char*> arguments, ServiceOptions& options, std::string& error) {
  arguments.insert(arguments.begin(), "tarvo-service");
  return ParseServiceOptions(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(ServiceOptions, ReadsFlagsAndProxyPortPlans) {
  ServiceOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--port", "0", "--listen", "0.0.0.0", "--data", "/d/s.db", "--seed", "s.json", "--proxy-ports",
                     "8371-8373", "--token-lifetime", "60", "--quiet", "--tls-cert", "c.pem", "--tls-key", "k.pem",
                     "--signing-key", "brand.key"},
                    options, error))
      << error;
  EXPECT_EQ(options.tlsCertPath + " " + options.tlsKeyPath + " " + options.signingKeyPath + " " + options.listenAddress,
            "c.pem k.pem brand.key 0.0.0.0");
  EXPECT_EQ(std::make_tuple(options.port, options.tokenLifetimeSeconds, options.quiet), std::make_tuple(0, int64_t{60}, true));
  EXPECT_EQ(options.proxyPorts.ports, (std::vector<int>{8371, 8372, 8373}));

  options = ServiceOptions();
  ASSERT_TRUE(Parse({"--proxy-ports", "9000,0", "--plain-http"}, options, error));
  EXPECT_EQ(options.proxyPorts.ports, (std::vector<int>{9000, 0}));
  EXPECT_TRUE(options.plainHttp);
  ASSERT_TRUE(Parse({"--proxy-ports", "seed"}, options, error));
  EXPECT_EQ(options.proxyPorts.mode, ProxyPortPlan::Mode::kSeeded);

  // A proxies-only process has no front, so no transport to choose.
  options = ServiceOptions();
  ASSERT_TRUE(Parse({"--proxies-only", "--proxy-ports", "auto", "--database", "postgresql://h/d", "--forwarded-by",
                     "127.0.0.1,::1"},
                    options, error))
      << error;
  EXPECT_EQ(options.databaseUrl, "postgresql://h/d");
  EXPECT_EQ(options.forwardedBy, (std::vector<std::string>{"127.0.0.1", "::1"}));
}

TEST(ServiceOptions, RefusesBadValuesAndAFrontWithoutAChosenTransport) {
  std::string error;
  for (const auto& arguments : std::vector<std::vector<const char*>>{{"--port", "-1"},
                                                                     {"--port", "70000", "--plain-http"},
                                                                     {"--port"},
                                                                     {"--proxy-ports", "9-3"},
                                                                     {"--proxy-ports", "1,,2"},
                                                                     {"--threads", "0"},
                                                                     {"--token-lifetime", "x"},
                                                                     {"stray"},
                                                                     {"--frobnicate", "1"},
                                                                     {"--port", "1"},
                                                                     {"--tls-cert", "c.pem"},
                                                                     {"--tls-key", "k.pem", "--plain-http"},
                                                                     {"--tls-cert", "c", "--tls-key", "k", "--plain-http"},
                                                                     {"--plain-http", "--database", "/var/lib/service.db"},
                                                                     {"--plain-http", "--data", "s.db", "--database", "postgresql://h/d"},
                                                                     {"--plain-http", "--forwarded-by", "balancer.example"},
                                                                     {"--proxies-only"}}) {
    ServiceOptions options;
    EXPECT_FALSE(Parse(arguments, options, error)) << arguments[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(ServiceOptions, DefaultDataPathFollowsXdg) {
  {
    tarvo::test::ScopedEnv data("XDG_DATA_HOME", "/xdg");
    EXPECT_EQ(DefaultDataPath(), "/xdg/tarvo-service/service.db");
  }
  tarvo::test::ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  tarvo::test::ScopedEnv home("HOME", "/home/u");
  EXPECT_EQ(DefaultDataPath(), "/home/u/.local/share/tarvo-service/service.db");
}

}  // namespace
}  // namespace tarvo::service
