// The Chromium client and the VPN with a real engine and a loopback proxy that
// answers for made-up host names: the proxy's challenge is answered with the user
// and the connection's proxy token, and while connected each navigation goes
// through the proxy or not by the white list.
#include "account/account_state.h"
#include "engines/cef/cef_auth_callback.h"
#include "engines/cef/cef_browser.h"
#include "engines/cef/cef_request_context.h"
#include "engines/cef/cef_value.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/cef/web_client.h"
#include "engines/counting_proxy.h"
#include "shell/pages/bodies_fixture.h"
#include "shell/pages/page.h"

namespace tarvo::test {
namespace {

using namespace cef;

class ClientVpnTest : public BodiesTest {
 protected:
  void SetUp() override {
    BodiesTest::SetUp();
    server_.Route("/start", Html("<html><body>start</body></html>"));
    page_ = OpenChromium("/start");
    ASSERT_NE(page_, nullptr);
  }
  void TearDown() override {
    AccountState& account = AccountState::Instance();
    account.SetConnection({});
    account.SetUserId({});
    account.SetWhiteList({});
    account.SetWhiteListActive(true);
    ClientInstance()->SetLoginCheck(nullptr);
    auto dictionary = CefDictionaryValue::Create();
    dictionary->SetString(u"mode", u"");
    dictionary->SetString(u"server", u"");
    auto value = CefValue::Create();
    value->SetDictionary(dictionary);
    CefString error;
    CefRequestContext::GetGlobalContext()->SetPreference("proxy", value, error);
    BodiesTest::TearDown();
  }

  void Connect(const WString& token) {
    AccountState::Instance().SetConnection(
        {u"127.0.0.1", AsciiToWide(std::to_string(proxy_.port())), u"node-1", token, true, false});
  }
  // Navigates the page to a made-up host and waits for the load to end either way.
  void Visit(const QString& host) {
    events_.clear();
    page_->Navigate(Wide(QStringLiteral("http://%1/page").arg(host)));
    ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page_); })) << host.toStdString();
  }
  bool Proxied(const QString& host) const {
    return page_->GetTitle() == Wide(QStringLiteral("via proxy ") + host);
  }

  CountingProxy proxy_;
  Page* page_ = nullptr;
};

TEST_F(ClientVpnTest, ProxyChallengeIsAnsweredWithTheUserAndTheProxyToken) {
  AccountState::Instance().SetWhiteListActive(false);
  // Nobody logged in: the user name is "nobody".
  proxy_.RequireCredentials("nobody", "token-1");
  Connect(u"token-1");
  Visit(QStringLiteral("first.tarvo.test"));
  EXPECT_EQ(proxy_.CountFor("first.tarvo.test"), 1);
  EXPECT_GE(proxy_.challenges(), 1);
  EXPECT_TRUE(Pump([&] { return Proxied(QStringLiteral("first.tarvo.test")); }, 5000));

  // A login that the check confirms names the user by identifier.
  AccountState::Instance().SetUserId(u"42");
  ClientInstance()->SetLoginCheck([] { return true; });
  proxy_.RequireCredentials("42", "token-2");
  Connect(u"token-2");
  Visit(QStringLiteral("second.tarvo.test"));
  EXPECT_TRUE(Pump([&] { return Proxied(QStringLiteral("second.tarvo.test")); }, 5000));

  // A stored login that no longer holds falls back to "nobody".
  ClientInstance()->SetLoginCheck([] { return false; });
  proxy_.RequireCredentials("nobody", "token-3");
  Connect(u"token-3");
  Visit(QStringLiteral("third.tarvo.test"));
  EXPECT_TRUE(Pump([&] { return Proxied(QStringLiteral("third.tarvo.test")); }, 5000));
}

TEST_F(ClientVpnTest, OnlyProxyChallengesAreAnsweredAndOnlyWhileConnected) {
  auto browser = CefBody(page_)->GetBrowser();
  auto challenge = [&](bool isProxy) {
    auto callback = std::make_shared<CefAuthCallback>(nullptr);
    return ClientInstance()->GetAuthCredentials(browser, browser->GetMainFrame(), isProxy, u"127.0.0.1", 3128,
                                                u"realm", u"basic", callback);
  };
  EXPECT_FALSE(challenge(true));
  Connect(u"token");
  EXPECT_TRUE(challenge(true));
  // A web site asking for a password never gets the proxy token.
  EXPECT_FALSE(challenge(false));
}

TEST_F(ClientVpnTest, WhileConnectedTheWhiteListDecidesWhichNavigationsGoThroughTheProxy) {
  AccountState& account = AccountState::Instance();
  account.SetWhiteList({u"listed.tarvo.test"});
  account.SetWhiteListActive(true);

  // Not connected: nothing goes through the proxy, listed or not.
  Visit(QStringLiteral("listed.tarvo.test"));
  EXPECT_EQ(proxy_.total(), 0);

  Connect(u"token");
  Visit(QStringLiteral("listed.tarvo.test"));
  EXPECT_TRUE(Pump([&] { return Proxied(QStringLiteral("listed.tarvo.test")); }, 5000));
  Visit(QStringLiteral("unlisted.tarvo.test"));
  EXPECT_EQ(proxy_.CountFor("unlisted.tarvo.test"), 0);
  Visit(QStringLiteral("listed.tarvo.test"));
  EXPECT_EQ(proxy_.CountFor("listed.tarvo.test"), 2);

  // With the list switched off (the normal state) every navigation is proxied.
  account.SetWhiteListActive(false);
  Visit(QStringLiteral("unlisted.tarvo.test"));
  EXPECT_EQ(proxy_.CountFor("unlisted.tarvo.test"), 1);

  // Once disconnected the proxy stays as it was until the VPN operations remove it;
  // the client no longer touches it.
  account.SetConnection({});
  Visit(QStringLiteral("after.tarvo.test"));
  EXPECT_EQ(proxy_.CountFor("after.tarvo.test"), 1);
}

}  // namespace
}  // namespace tarvo::test
