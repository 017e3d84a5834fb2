// Accounts and stored secrets under anonymous load and guessing.
#include <sqlite3.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "service/account_endpoints.h"
#include "service/release_endpoints.h"
#include "service/vpn_connections.h"
#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

class AccountGuardTest : public ServiceFixture {
 protected:
  // The single value of a query on the service's data file ("" without a row).
  std::string Scalar(const std::string& sql) {
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open_v2(dataPath_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      sqlite3_stmt* query = nullptr;
      if (sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr) == SQLITE_OK && sqlite3_step(query) == SQLITE_ROW &&
          sqlite3_column_text(query, 0) != nullptr) {
        value = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
      }
      sqlite3_finalize(query);
    }
    sqlite3_close(db);
    return value;
  }

  const std::string dataPath_ = (dir_.path() / "service.db").string();
};

TEST_F(AccountGuardTest, GuessingIsStoppedPerAccountAndRegistrationsPerAddress) {
  for (int i = 0; i < AccountEndpoints::kLoginFailures; ++i) {
    ASSERT_EQ(Post("app/v1.0/login", FormBody().Add("username", "bob@tarvo.test").Add("password", "guess")).code(),
              401);
  }
  EXPECT_EQ(Post("app/v1.0/login", FormBody().Add("username", "BOB@tarvo.test").Add("password", "bob-pass")).code(),
            429)
      << "the right password no longer helps within the window";
  AdvanceClock(AccountEndpoints::kLoginWindowSeconds);
  EXPECT_EQ(Post("app/v1.0/login", FormBody().Add("username", "bob@tarvo.test").Add("password", "bob-pass")).code(),
            200);

  for (int i = 0; i < AccountEndpoints::kRegistrations; ++i) {
    Post("app/v1.0/register", FormBody().Add("username", "u" + std::to_string(i)).Add("password", "p").Add("brand", "X"));
  }
  EXPECT_EQ(Post("app/v1.0/register", FormBody().Add("username", "late").Add("password", "p").Add("brand", "TestBrand"))
                .code(),
            429);
}

TEST_F(AccountGuardTest, AnonymousRowsAreBoundedAndPurged) {
  const std::string longText(ReleaseEndpoints::kMaxLaunchFieldBytes + 1, 'x');
  EXPECT_EQ(PostRaw("app/v1.0/log_client_launch", "brand=TestBrand&platform=" + longText).code(), 400);
  EXPECT_EQ(PostRaw("app/v1.0/log_client_launch", "brand=TestBrand&clientversion=" + longText).code(), 400);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM launches"), "0");

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

TEST_F(AccountGuardTest, SecretsAreKeptPrivateAndOldSessionsEndWithAPasswordReset) {
  struct stat file {};
  struct stat folder {};
  service_->Stop();
  ServiceOptions options = DefaultOptions();
  const std::string nested = (dir_.path() / "private" / "service.db").string();
  options.dataPath = nested;
  StartService(options);
  ASSERT_EQ(::stat(nested.c_str(), &file), 0);
  ASSERT_EQ(::stat((dir_.path() / "private").c_str(), &folder), 0);
  EXPECT_EQ(file.st_mode & 0777, 0600u);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);

  // Records made with fewer iterations are made again at the next log-in.
  const auto [id, token] = LogIn("bob@tarvo.test", "bob-pass");
  service_->Stop();
  options.seedPath.clear();
  options.passwordIterations = 2000;
  StartService(options);
  LogIn("bob@tarvo.test", "bob-pass");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(nested.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* query = nullptr;
  sqlite3_prepare_v2(db, "SELECT password FROM users WHERE username='bob@tarvo.test'", -1, &query, nullptr);
  ASSERT_EQ(sqlite3_step(query), SQLITE_ROW);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(sqlite3_column_text(query, 0))).rfind("pbkdf2-sha256$2000$", 0),
            0u);
  sqlite3_finalize(query);
  sqlite3_close(db);

  // The operator resets bob's password through the seed: his sessions end.
  std::ifstream seedFile(TestData("seed.json"));
  std::stringstream seed;
  seed << seedFile.rdbuf();
  std::string text = seed.str();
  text.replace(text.find("\"bob-pass\""), 10, "\"bob-new-pass\"");
  const std::string changed = (dir_.path() / "seed.json").string();
  std::ofstream(changed) << text;
  for (const char* folder : {"installer", "pages", "icons"}) {  // the files the seed names
    std::filesystem::create_directory_symlink(TestData(folder), dir_.path() / folder);
  }
  service_->Stop();
  options.seedPath = changed;
  StartService(options);
  EXPECT_EQ(Post("app/v1.0/user_info", FormBody().Add("id", id).Add("token", token)).code(), 401);
  LogIn("bob@tarvo.test", "bob-new-pass");
}

}  // namespace
}  // namespace tarvo::service::test
