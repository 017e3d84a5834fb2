// The account endpoints, and accounts and stored secrets under anonymous load and guessing.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

#include "loopback_probe.h"
#include "service/account_endpoints.h"
#include "service/release_endpoints.h"
#include "service/service_database.h"
#include "service/vpn_connections.h"
#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

class AccountApi : public ServiceFixture {
 protected:
  ServiceReply UserInfo(const std::string& id, const std::string& token) {
    return Post("app/v1.0/user_info", FormBody().Add("id", id).Add("token", token).Add("language", "usa"));
  }
  ServiceReply Register(const std::string& name, const std::string& password, const std::string& brand) {
    return Post("app/v1.0/register", FormBody().Add("username", name).Add("password", password).Add("brand", brand));
  }
};

TEST_F(AccountApi, LoginGivesIdentityAndUserInfoGivesProfileToTheRightCredentialsOnly) {
  // The seeded password holds "&" and "=", which only arrive intact when encoded.
  const FormBody form = FormBody().Add("username", "alice@tarvo.test").Add("password", "alice&pass=1").Add("type", "PC");
  const ServiceReply login = Post("app/v1.0/login", form);
  ASSERT_EQ(login.code(), 200) << login.message();
  EXPECT_GT(ServiceReply::ReadInt(login.data(), "id"), 0);
  EXPECT_EQ(ServiceReply::ReadString(login.data(), "token").size(), 64u);
  EXPECT_TRUE(ServiceReply::ReadBool(login.data(), "select_permission"));
  const ServiceReply info = UserInfo(std::to_string(ServiceReply::ReadInt(login.data(), "id")),
                                     ServiceReply::ReadString(login.data(), "token"));
  EXPECT_EQ(ServiceReply::ReadString(info.data(), "name"), "Alice");

  const auto refused = [this](const FormBody& body) { return Post("app/v1.0/login", body).code(); };
  EXPECT_EQ(refused(FormBody().Add("username", "alice@tarvo.test").Add("password", "alice")), 401);
  EXPECT_EQ(refused(FormBody().Add("username", "nobody@tarvo.test").Add("password", "x")), 401);
  EXPECT_EQ(refused(FormBody().Add("username", "alice@tarvo.test")), 400);
  EXPECT_EQ(refused(FormBody().Add("password", "alice&pass=1")), 400);
  EXPECT_EQ(UserInfo("1", "").code(), 401);
  EXPECT_EQ(UserInfo("abc", "token").code(), 401);
}

TEST_F(AccountApi, RegisteredAccountCanLogInAndStartsWithBrandFavorites) {
  ASSERT_EQ(Register("Dora@Tarvo.test", "pässword 1", "TestBrand").code(), 200);
  const auto [id, token] = LogIn("Dora@Tarvo.test", "pässword 1");
  const ServiceReply info = UserInfo(id, token);
  EXPECT_EQ(ServiceReply::ReadString(info.data(), "name"), "Dora@Tarvo.test");
  const ServiceReply favorites =
      Post("app/v1.0/list_user_fav", FormBody().Add("token", token).Add("brand", "TestBrand"));
  EXPECT_EQ(favorites.data()["favor"].size(), 2u);

  EXPECT_EQ(Register("dora@tarvo.test", "other", "TestBrand").code(), 409) << "names compare without ASCII case";
  EXPECT_EQ(Register("eve@tarvo.test", "pw", "NoSuchBrand").code(), 404);
  for (const auto& [name, password] : {std::pair{"", "pw"}, {"line\nbreak", "pw"}, {"bad\xff" "byte", "pw"},
                                       {"frank@tarvo.test", ""}}) {
    EXPECT_EQ(Register(name, password, "TestBrand").code(), 400) << name;
  }
  EXPECT_EQ(Post("app/v1.0/login", FormBody().Add("username", "eve@tarvo.test").Add("password", "pw")).code(), 401);
}

TEST_F(AccountApi, TokensExpireAndLogoutRevokesOnlyItsOwnToken) {
  const auto [id, first] = LogIn("bob@tarvo.test", "bob-pass");
  const auto second = LogIn("bob@tarvo.test", "bob-pass").second;
  EXPECT_NE(first, second);

  ASSERT_EQ(Post("app/v1.0/logout", FormBody().Add("id", id).Add("token", first)).code(), 200);
  EXPECT_EQ(UserInfo(id, first).code(), 401);
  EXPECT_EQ(Post("app/v1.0/logout", FormBody().Add("id", id).Add("token", first)).code(), 401);
  EXPECT_EQ(UserInfo(id, second).code(), 200) << "the other session stays";
  EXPECT_EQ(UserInfo("999", second).code(), 401) << "a token belongs to one user";

  AdvanceClock(3599);
  EXPECT_EQ(UserInfo(id, second).code(), 200);
  AdvanceClock(1);
  EXPECT_EQ(UserInfo(id, second).code(), 401);
}

TEST_F(AccountApi, RacingClientsGetTokensOfTheirOwnAndOneAccountPerName) {
  constexpr int kClients = 6;
  std::vector<std::thread> clients;
  std::vector<int64_t> codes(kClients);
  std::vector<std::string> tokens(kClients);
  std::vector<int> failures(kClients, 0);
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&, i] {
      codes[i] = Register("race@tarvo.test", "pw" + std::to_string(i), "TestBrand").code();
      const auto [id, token] = LogIn("alice@tarvo.test", "alice&pass=1");
      tokens[i] = token;
      for (int round = 0; round < 10; ++round) failures[i] += UserInfo(id, token).code() == 200 ? 0 : 1;
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 200), 1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 409), kClients - 1);
  EXPECT_EQ(std::set<std::string>(tokens.begin(), tokens.end()).size(), static_cast<size_t>(kClients));
  for (const int count : failures) EXPECT_EQ(count, 0);
}

TEST_F(AccountApi, GuessingIsStoppedPerAccountAndRegistrationsPerAddress) {
  const auto login = [this](const std::string& name, const std::string& password) {
    return Post("app/v1.0/login", FormBody().Add("username", name).Add("password", password)).code();
  };
  for (int i = 0; i < AccountEndpoints::kLoginFailures; ++i) ASSERT_EQ(login("bob@tarvo.test", "guess"), 401);
  EXPECT_EQ(login("BOB@tarvo.test", "bob-pass"), 429) << "the right password no longer helps within the window";
  AdvanceClock(AccountEndpoints::kLoginWindowSeconds);
  EXPECT_EQ(login("bob@tarvo.test", "bob-pass"), 200);

  for (int i = 0; i < AccountEndpoints::kRegistrations; ++i) Register("u" + std::to_string(i), "p", "X");
  EXPECT_EQ(Register("late", "p", "TestBrand").code(), 429);
}

TEST_F(AccountApi, AnonymousRowsAreBoundedAndPurged) {
  const std::string longText(ReleaseEndpoints::kMaxLaunchFieldBytes + 1, 'x');
  EXPECT_EQ(PostRaw("app/v1.0/log_client_launch", "brand=TestBrand&platform=" + longText).code(), 400);
  EXPECT_EQ(PostRaw("app/v1.0/log_client_launch", "brand=TestBrand&clientversion=" + longText).code(), 400);
  EXPECT_EQ(PostRaw("app/v1.0/log_client_launch", "platform=PC").code(), 400);
  ASSERT_EQ(PostRaw("app/v1.0/log_client_launch", "brand=TestBrand&platform=PC&clientversion=5.5.8.1").code(), 200);
  EXPECT_EQ(Scalar("SELECT brand || ' ' || platform || ' ' || client_version FROM launches"), "TestBrand PC 5.5.8.1");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM launches"), "1");

  LogIn("bob@tarvo.test", "bob-pass");
  Post("app/v1.0/no_login_connection_vpn_node", FormBody().Add("brand", "TestBrand").Add("node_id", "7"));
  AdvanceClock(3600);  // the token's lifetime and the anonymous allowance (600 s) are over
  service_->Housekeep();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM tokens"), "0");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM connections WHERE closed_at IS NULL"), "0");
  AdvanceClock(VpnConnections::kKeepClosedSeconds);
  service_->Housekeep();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM connections"), "0");
}

TEST_F(AccountApi, SecretsAreKeptPrivateAndOldSessionsEndWithAPasswordReset) {
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  if (!database_) {
    struct stat file {};
    struct stat folder {};
    const std::string nested = (dir_.path() / "private" / "service.db").string();
    options.dataPath = nested;
    StartService(options);
    ASSERT_EQ(::stat(nested.c_str(), &file), 0);
    ASSERT_EQ(::stat((dir_.path() / "private").c_str(), &folder), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
  } else {
    StartService(options);
  }

  // Records made with fewer iterations are made again at the next log-in.
  const auto [id, token] = LogIn("bob@tarvo.test", "bob-pass");
  service_->Stop();
  options.seedPath.clear();
  options.passwordIterations = 2000;
  StartService(options);
  LogIn("bob@tarvo.test", "bob-pass");
  EXPECT_EQ(Scalar("SELECT password FROM users WHERE username='bob@tarvo.test'").rfind("pbkdf2-sha256$2000$", 0), 0u);

  // The operator resets bob's password through the seed: his sessions end.
  std::string text = SeedText();
  text.replace(text.find("\"bob-pass\""), 10, "\"bob-new-pass\"");
  Reseed(text, options);
  EXPECT_EQ(Post("app/v1.0/user_info", FormBody().Add("id", id).Add("token", token)).code(), 401);
  LogIn("bob@tarvo.test", "bob-new-pass");
}

TEST_F(AccountApi, ClientsBehindATrustedBalancerAreCountedApart) {
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  options.forwardedBy = {"127.0.0.1"};
  StartService(options);
  // The envelope code of a registration sent from `from`, naming `forwarded`.
  const auto registration = [this](const std::string& from, const std::string& forwarded, const std::string& name) {
    const std::string body = "username=" + name + "&password=p&brand=TestBrand";
    const std::string headers = "X-Forwarded-For: " + forwarded + "\r\nConnection: close\r\n";
    const std::string reply =
        RawExchange(service_->port(), FormRequest("/app/v1.0/register", body, headers), "127.0.0.1", from);
    const size_t code = reply.find("{\"code\":");
    return code == std::string::npos ? 0 : std::atoi(reply.c_str() + code + 8);
  };
  for (int i = 0; i < AccountEndpoints::kRegistrations; ++i) {
    ASSERT_EQ(registration("127.0.0.1", "203.0.113.7", "a" + std::to_string(i)), 200);
  }
  EXPECT_EQ(registration("127.0.0.1", "203.0.113.7", "late"), 429);
  EXPECT_EQ(registration("127.0.0.1", "203.0.113.7, 198.51.100.1", "other"), 200) << "the balancer's own entry counts";
  // Anyone else naming a client in the header is counted as itself.
  for (int i = 0; i < AccountEndpoints::kRegistrations; ++i) {
    ASSERT_EQ(registration("127.0.0.2", "198.51.100." + std::to_string(i + 2), "b" + std::to_string(i)), 200);
  }
  EXPECT_EQ(registration("127.0.0.2", "198.51.100.99", "late"), 429);
}

TEST_F(AccountApi, BehindABalancerOnlyItsOwnLineNamesTheClient) {
  // HAProxy's "option forwardfor" adds a line of its own after whatever lines the
  // client sent; the client is the last entry of all the lines together.
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  options.forwardedBy = {"127.0.0.1"};
  StartService(options);
  const auto balanced = [](const std::string& clientsOwn, const std::string& balancers) {
    return "X-Forwarded-For: " + clientsOwn + "\r\nX-Forwarded-For: " + balancers + "\r\nConnection: close\r\n";
  };
  // A client that writes "127.0.0.1" in a line of its own is not taken for this machine.
  const std::string status = RawExchange(
      service_->port(), "GET /status/proxies HTTP/1.1\r\n" + balanced("127.0.0.1", "203.0.113.9") + "\r\n");
  EXPECT_EQ(status.rfind("HTTP/1.1 404", 0), 0u) << status.substr(0, 200);
  const std::string local =
      RawExchange(service_->port(), "GET /status/proxies HTTP/1.1\r\n" + balanced("203.0.113.9", "127.0.0.1") + "\r\n");
  EXPECT_EQ(local.rfind("HTTP/1.1 200", 0), 0u) << "the balancer's own line names a client on this machine";

  // A client that writes a new address in its own line on each try is one client.
  for (int i = 0; i < AccountEndpoints::kRegistrations; ++i) {
    const std::string body = "username=c" + std::to_string(i) + "&password=p&brand=TestBrand";
    const std::string reply = RawExchange(
        service_->port(),
        FormRequest("/app/v1.0/register", body, balanced("198.51.100." + std::to_string(i + 1), "203.0.113.8")));
    ASSERT_EQ(EnvelopeCode(reply), 200) << reply.substr(0, 200);
  }
  const std::string late = RawExchange(
      service_->port(), FormRequest("/app/v1.0/register", "username=late&password=p&brand=TestBrand",
                                    balanced("198.51.100.200", "203.0.113.8")));
  EXPECT_EQ(EnvelopeCode(late), 429);
}

TEST_F(AccountApi, AWriteWhoseLockTimesOutLeavesNoBrokenConnectionInThePool) {
  if (!database_) GTEST_SKIP() << "the writers' lock is PostgreSQL's";
  // The service's sessions give up on a lock after 300 ms.
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  options.databaseUrl += "?options=-c%20lock_timeout%3D300";
  options.threads = 1;
  StartService(options);
  const auto registration = [this](const std::string& name) {
    return Post("app/v1.0/register", FormBody().Add("username", name).Add("password", "p").Add("brand", "TestBrand"))
        .code();
  };
  {
    // Another session holds the writers' lock: the writes that wait for it fail.
    auto holder = ServiceDatabase::Connect(location_);
    holder->Execute("SELECT pg_advisory_lock(8360358)");
    for (int i = 0; i < 3; ++i) EXPECT_NE(registration("waits" + std::to_string(i) + "@tarvo.test"), 200);
  }
  // Every connection that met the timeout went back to the pool outside any
  // transaction: the next requests, reads and writes, succeed.
  for (int i = 0; i < 6; ++i) EXPECT_EQ(registration("after" + std::to_string(i) + "@tarvo.test"), 200) << i;
  const auto [id, token] = LogIn("after0@tarvo.test", "p");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(UserInfo(id, token).code(), 200) << i;
}

}  // namespace
}  // namespace tarvo::service::test
