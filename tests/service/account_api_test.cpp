#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

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

TEST_F(AccountApi, LoginGivesIdentityAndUserInfoGivesProfile) {
  // The seeded password holds "&" and "=", which only arrive intact when encoded.
  const ServiceReply login = Post("app/v1.0/login", FormBody()
                                                        .Add("username", "alice@tarvo.test")
                                                        .Add("password", "alice&pass=1")
                                                        .Add("type", "PC"));
  ASSERT_EQ(login.code(), 200) << login.message();
  EXPECT_GT(ServiceReply::ReadInt(login.data(), "id"), 0);
  EXPECT_EQ(ServiceReply::ReadString(login.data(), "token").size(), 64u);
  EXPECT_EQ(ServiceReply::ReadString(login.data(), "user_group"), "内部用户");
  EXPECT_TRUE(ServiceReply::ReadBool(login.data(), "select_permission"));

  const ServiceReply info = UserInfo(std::to_string(ServiceReply::ReadInt(login.data(), "id")),
                                     ServiceReply::ReadString(login.data(), "token"));
  ASSERT_EQ(info.code(), 200);
  EXPECT_EQ(ServiceReply::ReadString(info.data(), "name"), "Alice");
  EXPECT_EQ(ServiceReply::ReadString(info.data(), "sex"), "2");
  EXPECT_EQ(ServiceReply::ReadString(info.data(), "status"), "1");
  EXPECT_EQ(ServiceReply::ReadString(info.data(), "profile_photo"), "http://www.tarvo.test/alice.png");
}

TEST_F(AccountApi, WrongCredentialsAndMissingFieldsAreRefused) {
  const auto login = [this](const FormBody& body) { return Post("app/v1.0/login", body).code(); };
  EXPECT_EQ(login(FormBody().Add("username", "alice@tarvo.test").Add("password", "alice")), 401);
  EXPECT_EQ(login(FormBody().Add("username", "nobody@tarvo.test").Add("password", "x")), 401);
  EXPECT_EQ(login(FormBody().Add("username", "alice@tarvo.test")), 400);
  EXPECT_EQ(login(FormBody().Add("password", "alice&pass=1")), 400);
  EXPECT_EQ(UserInfo("1", "").code(), 401);
  EXPECT_EQ(UserInfo("abc", "token").code(), 401);
}

TEST_F(AccountApi, UnencodedBodyOfOlderBrowsersIsRead) {
  const ServiceReply reply = PostRaw("app/v1.0/login", "username=bob@tarvo.test&password=bob-pass&type=PC");
  EXPECT_EQ(reply.code(), 200) << reply.message();
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
  EXPECT_EQ(Register("", "pw", "TestBrand").code(), 400);
  EXPECT_EQ(Register("line\nbreak", "pw", "TestBrand").code(), 400);
  EXPECT_EQ(Register("bad\xff" "byte", "pw", "TestBrand").code(), 400);
  EXPECT_EQ(Register("frank@tarvo.test", "", "TestBrand").code(), 400);
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

TEST_F(AccountApi, ConcurrentClientsOnOneAccount) {
  constexpr int kClients = 6;
  std::vector<std::thread> clients;
  std::vector<int> failures(kClients, 0);
  std::vector<std::string> tokens(kClients);
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&, i] {
      const auto [id, token] = LogIn("alice@tarvo.test", "alice&pass=1");
      tokens[i] = token;
      for (int round = 0; round < 10; ++round) failures[i] += UserInfo(id, token).code() == 200 ? 0 : 1;
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(std::set<std::string>(tokens.begin(), tokens.end()).size(), static_cast<size_t>(kClients));
  for (const int count : failures) EXPECT_EQ(count, 0);
}

TEST_F(AccountApi, RacingRegistrationsOfOneNameCreateOneAccount) {
  constexpr int kClients = 6;
  std::vector<std::thread> clients;
  std::vector<int64_t> codes(kClients);
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&, i] { codes[i] = Register("race@tarvo.test", "pw" + std::to_string(i), "TestBrand").code(); });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 200), 1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 409), kClients - 1);
}

}  // namespace
}  // namespace tarvo::service::test
