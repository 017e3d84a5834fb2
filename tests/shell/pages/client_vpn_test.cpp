// The Chromium client and the VPN with a real engine and a loopback proxy that
// answers for made-up host names: the proxy's challenge is answered with the user
// and the connection's proxy token, and while connected each navigation goes
// through the proxy or not by the white list.
#include "account/account_state.h"
#include "engines/webengine/cef_auth_callback.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/cef_value.h"
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
    ClientInstance()->SetAccount(&host_->account);
  }
  void TearDown() override {
    ClientInstance()->SetAccount(nullptr);
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
    host_->account.SetConnection(
        {u"127.0.0.1", AsciiToWide(std::to_string(proxy_.port())), u"node-1", token, true, false});
  }
  // Navigates the page to a made-up host and waits until the engine shows that
  // address, loaded or failed (a navigation held for a proxy change starts later).
  void Visit(const QString& host) {
    const WString url = Wide(QStringLiteral("http://%1/page").arg(host));
    page_->Navigate(url);
    auto browser = CefBody(page_)->GetBrowser();
    ASSERT_TRUE(Pump([&] { return browser->GetMainFrame()->GetURL() == url && !browser->IsLoading(); }))
        << host.toStdString();
    Settle(100);
  }
  bool Proxied(const QString& host) const {
    return page_->GetTitle() == Wide(QStringLiteral("via proxy ") + host);
  }

  CountingProxy proxy_;
  Page* page_ = nullptr;
};

TEST_F(ClientVpnTest, OnlyProxyChallengesAreAnsweredOnlyWhileConnectedWithTheUserAndTheProxyToken) {
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

  host_->account.SetWhiteListActive(false);
  // Nobody logged in: the user name is "nobody".
  proxy_.RequireCredentials("nobody", "token-1");
  Connect(u"token-1");
  Visit(QStringLiteral("first.tarvo.test"));
  // The page, and its icon, which the browser fetches itself through the same proxy
  // with the same credentials (newer engines may ask for the icon as well: the proxy
  // answers only requests that carry them).
  EXPECT_TRUE(Pump([&] { return proxy_.CountFor("first.tarvo.test") >= 2; }, 5000)) << proxy_.CountFor("first.tarvo.test");
  EXPECT_GE(proxy_.challenges(), 1);
  EXPECT_TRUE(Pump([&] { return Proxied(QStringLiteral("first.tarvo.test")); }, 5000));

  // A login that the check confirms names the user by identifier.
  host_->account.SetUserId(u"42");
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

  // A token the proxy refuses is not offered again and again: the page ends with the
  // proxy's refusal.
  proxy_.RequireCredentials("nobody", "token-4");
  Connect(u"stale-token");
  const int challenges = proxy_.challenges();
  Visit(QStringLiteral("fourth.tarvo.test"));
  EXPECT_FALSE(Proxied(QStringLiteral("fourth.tarvo.test")));
  // The page and its icon: each challenged once and then after each answer.
  EXPECT_LE(proxy_.challenges() - challenges, 2 * (WebClient::kMaxProxyAnswersPerNavigation + 1));
  // The next navigation may offer the token again.
  proxy_.RequireCredentials("nobody", "stale-token");
  Visit(QStringLiteral("fifth.tarvo.test"));
  EXPECT_TRUE(Pump([&] { return Proxied(QStringLiteral("fifth.tarvo.test")); }, 5000));
}

TEST_F(ClientVpnTest, WhileConnectedTheWhiteListDecidesWhichNavigationsGoThroughTheProxy) {
  AccountState& account = host_->account;
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
  // Counted per host: the page and its icon.
  const int listedBefore = proxy_.CountFor("listed.tarvo.test");
  Visit(QStringLiteral("listed.tarvo.test"));
  EXPECT_GT(proxy_.CountFor("listed.tarvo.test"), listedBefore);

  // With the list switched off (the normal state) every navigation is proxied.
  account.SetWhiteListActive(false);
  Visit(QStringLiteral("unlisted.tarvo.test"));
  EXPECT_GT(proxy_.CountFor("unlisted.tarvo.test"), 0);

  // Once disconnected the proxy stays as it was until the VPN operations remove it;
  // the client no longer touches it.
  account.SetConnection({});
  Visit(QStringLiteral("after.tarvo.test"));
  EXPECT_GT(proxy_.CountFor("after.tarvo.test"), 0);
}

}  // namespace
}  // namespace tarvo::test
