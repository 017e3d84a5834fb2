// The account and VPN operations against a scripted loopback service, for the replies
// the demo service never gives. (Logging in against the demo service, a restart that
// keeps the login and the twelve hours it lasts are run end to end.)
#include <mutex>
#include <string>

#include <gtest/gtest.h>
#include <json/json.h>

#include "account/account_info_keys.h"
#include "account/account_operations.h"
#include "account/account_state.h"
#include "account/vpn_operations.h"
#include "protect/protect_channels.h"
#include "bus/message_bus.h"
#include "support/loopback_http_server.h"
#include "net/payload_cipher.h"
#include "platform/clock.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/info_records.h"
#include "store/test_database.h"
#include "account/recording_proxy_engine.h"

namespace tarvo {
namespace {

using test::LoopbackHttpServer;
using test::ReceivedRequest;

// Which signals the operations posted to the main window, emptying the channels.
struct Posted {
  bool dialog = ProtectChannels::kShowDialog.Take();
  bool refused = ProtectChannels::kShowVpn403.Take();
  bool failed = ProtectChannels::kShowVpnFailed.Take();
  bool button = ProtectChannels::kRefreshButton.Take();
};

class AccountOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(MessageBus::Instance().Initialise(), 0);
    Posted();
    SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TarvoBrowser");
    state_.SetProxyEngine(&engine_);
  }
  void TearDown() override { Posted(); }
  void UseService(const std::string& base) { SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(base)); }
  std::string Info(const char16_t* key) {
    WString value;
    InfoRecords(store_.db()).GetInfo(key, value);
    return WideToUtf8(value);
  }
  void SetInfo(const char16_t* key, const std::string& value) {
    InfoRecords(store_.db()).SetInfo(key, Utf8ToWide(value));
  }
  void StoreLogin(int64_t age, const std::string& token) {
    SetInfo(AccountInfoKeys::kLoginTime, std::to_string(NowSeconds() - age));
    SetInfo(AccountInfoKeys::kUserId, "7");
    SetInfo(AccountInfoKeys::kUserName, "kim@tarvo.test");
    SetInfo(AccountInfoKeys::kUserToken, token);
  }

  test::TestDatabase store_;
  test::RecordingProxyEngine engine_;
  AccountState state_;
  AccountOperations account_{state_, store_.db()};
  VpnOperations vpn_{state_, store_.db()};
};

// A scripted service that records each request and answers with `reply`.
class ScriptedServiceTest : public AccountOperationsTest {
 protected:
  void SetUp() override {
    AccountOperationsTest::SetUp();
    UseService(server_.Url("/"));
  }
  void Reply(int code, const Json::Value& data) {
    Json::Value envelope;
    envelope["code"] = code;
    envelope["data"] = data;
    std::lock_guard lock(mutex_);
    reply_ = Json::writeString(Json::StreamWriterBuilder(), envelope);
  }
  static std::string Cipher(const std::string& plain) {
    std::string cipher;
    PayloadCipher().EncryptText(plain, cipher);
    return cipher;
  }

  std::mutex mutex_;
  std::string reply_ = "{\"code\":200,\"data\":{}}";
  LoopbackHttpServer server_{[this](const ReceivedRequest&) {
    std::lock_guard lock(mutex_);
    return LoopbackHttpServer::Ok(reply_);
  }};
};

TEST_F(ScriptedServiceTest, OnlyAFreshCompleteStoredLoginIsCheckedWithTheService) {
  struct Case {
    const char* what;
    int64_t age;
    std::string token;
    bool valid;
  };
  const Case cases[] = {
      {"one second past twelve hours", AccountOperations::kLoginLifetimeSeconds + 1, "t0k3n", false},
      {"an empty token", 60, "", false},
      {"a fresh login", 60, "t0k3n", true},
  };
  for (const Case& c : cases) {
    const size_t before = server_.Requests().size();
    StoreLogin(c.age, c.token);
    EXPECT_EQ(account_.CheckLogin(), c.valid) << c.what;
    EXPECT_EQ(server_.Requests().size() - before, c.valid ? 1u : 0u) << c.what;
    EXPECT_EQ(state_.IsLoggedIn(), c.valid) << c.what;
  }
  EXPECT_EQ(server_.Requests().back().body, "id=7&token=t0k3n&language=");
}

// A round of the service loop while the service is away must not log the user out of
// the running browser; only the service's own refusal does.
TEST_F(ScriptedServiceTest, AServiceThatDoesNotAnswerLeavesTheLoginAsItWasARefusalEndsIt) {
  StoreLogin(60, "t0k3n");
  ASSERT_TRUE(account_.CheckLogin());
  UseService("http://127.0.0.1:9/");  // nothing listens there
  EXPECT_FALSE(account_.CheckLogin());
  EXPECT_TRUE(state_.IsLoggedIn());
  UseService(server_.Url("/"));
  {
    std::lock_guard lock(mutex_);
    reply_ = "{\"code\":401,\"data\":{}}";
  }
  EXPECT_FALSE(account_.CheckLogin());
  EXPECT_FALSE(state_.IsLoggedIn());
  EXPECT_EQ(Info(AccountInfoKeys::kUserToken), "t0k3n") << "the stored login stays for the next log-in";
}

TEST_F(ScriptedServiceTest, LogoutEndsTheLoginHereAndTellsTheServiceOnceItAnswers) {
  StoreLogin(60, "t0k3n");
  ASSERT_TRUE(account_.CheckLogin());
  UseService("http://127.0.0.1:9/");  // nothing listens there
  EXPECT_EQ(account_.Logout(), -1);
  EXPECT_FALSE(state_.IsLoggedIn());
  EXPECT_EQ(Info(AccountInfoKeys::kUserToken), "");
  EXPECT_FALSE(account_.CheckLogin());

  UseService(server_.Url("/"));
  const size_t before = server_.Requests().size();
  account_.SendPendingLogout();
  account_.SendPendingLogout();
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size() - before, 1u);
  EXPECT_EQ(requests.back().target, "/app/v1.0/logout");
  EXPECT_EQ(requests.back().body, "id=7&token=t0k3n");
}

TEST_F(ScriptedServiceTest, NodeListsAndTheWhiteListAreTakenWholeOrNotAtAll) {
  Json::Value node;
  node["id"] = 9;
  node["country_id"] = 5;
  node["country"] = "Elsewhere";
  node["ip"] = Cipher("10.1.2.3");
  node["area"] = Cipher("Harbour");
  node["port"] = 3128;
  Json::Value good(Json::arrayValue);
  good.append(node);
  Reply(200, good);
  ASSERT_EQ(vpn_.FetchAnonymousNodeList(), 0);
  ASSERT_EQ(state_.AnonymousNodes().size(), 1u);
  EXPECT_EQ(state_.AnonymousNodes()[0].ip, u"10.1.2.3");

  Json::Value noAddress = good;
  noAddress[0]["ip"] = "not ciphered";
  Json::Value notAList(Json::objectValue);
  notAList["id"] = 1;
  for (const Json::Value& malformed : {noAddress, notAList}) {
    Reply(200, malformed);
    EXPECT_EQ(vpn_.FetchAnonymousNodeList(), -1);
    ASSERT_EQ(state_.AnonymousNodes().size(), 1u);
    EXPECT_EQ(state_.AnonymousNodes()[0].area, u"Harbour");
  }

  // Inactive (as in the running browser): no request at all.
  const size_t before = server_.Requests().size();
  state_.SetWhiteListActive(false);
  EXPECT_EQ(vpn_.RefreshWhiteList(), 0);
  EXPECT_EQ(server_.Requests().size(), before);
  state_.SetWhiteListActive(true);
  Json::Value domains(Json::arrayValue);
  domains.append(Json::Value(Json::objectValue))["domain"] = Cipher("www.tarvo.test");
  Reply(200, domains);
  ASSERT_EQ(vpn_.RefreshWhiteList(), 0);
  EXPECT_EQ(state_.WhiteList(), std::vector<WString>{u"www.tarvo.test"});
  domains[0]["domain"] = "plain text";
  Reply(200, domains);
  EXPECT_EQ(vpn_.RefreshWhiteList(), -1);
  EXPECT_EQ(state_.WhiteList(), std::vector<WString>{u"www.tarvo.test"});
}

TEST_F(ScriptedServiceTest, CancellingWithoutAConnectionStillAsksAndTakesTheProxyOff) {
  engine_.proxy = "127.0.0.1:3128";
  state_.SetProxyApplied(true);
  vpn_.CancelConnection();
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/app/v1.0/cancel_connection");
  EXPECT_EQ(engine_.proxy, "");
  EXPECT_FALSE(state_.Connection().proxyApplied);

  // A refused connection leaves the state as it was and says why.
  Reply(421, Json::Value());
  EXPECT_EQ(vpn_.ConnectNode({u"3", u"4", u"Japan", u"127.0.0.1", u"Tokyo", u"3128", u"1"}), VpnOperations::kNoTimeLeft);
  EXPECT_FALSE(state_.IsConnected());
}

}  // namespace
}  // namespace tarvo
