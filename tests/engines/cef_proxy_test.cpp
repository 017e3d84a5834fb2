// The proxy preference against a counting loopback proxy. Chromium never proxies
// loopback addresses, so the pages load made-up host names that the proxy answers
// itself.
#include "engines/cef/cef_request_context.h"
#include "engines/cef/proxy_switcher.h"
#include "engines/cef/engine_context.h"
#include "engines/cef_fixture.h"
#include "engines/counting_proxy.h"

namespace tarvo::test {
namespace {

class CefProxyTest : public CefFixture {
 protected:
  void TearDown() override {
    SetProxy(u"", u"");
    CefFixture::TearDown();
  }

  bool SetProxy(const CefString& mode, const CefString& server) {
    auto dictionary = CefDictionaryValue::Create();
    dictionary->SetString(u"mode", mode);
    dictionary->SetString(u"server", server);
    auto value = CefValue::Create();
    value->SetDictionary(dictionary);
    CefString error;
    const bool ok = CefRequestContext::GetGlobalContext()->SetPreference("proxy", value, error);
    last_error_ = QString::fromStdU16String(error);
    return ok;
  }
  CefString ProxyServer() const { return QStringLiteral("127.0.0.1:%1").arg(proxy_.port()).toStdU16String(); }

  // Navigates and waits for the load to end (successfully or not).
  void Load(const CefRefPtr<CefBrowser>& browser, const QString& url) {
    const size_t mark = client_->loading.size();
    browser->GetMainFrame()->LoadURL(url.toStdU16String());
    ASSERT_TRUE(WaitForLoad(browser, mark)) << url.toStdString();
  }

  CountingProxy proxy_;
  QString last_error_;
};

TEST_F(CefProxyTest, EveryNavigationAfterTheSwitchGoesTheNewWay) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(CefRequestContext::GetGlobalContext()->CanSetPreference("proxy"));
  ProxySwitcher* switcher = EngineContext::Instance().proxy_switcher();

  // Several rounds: the very first request after each switch must already follow it.
  for (int round = 0; round < 3; ++round) {
    const QByteArray on_host = QStringLiteral("on%1.tarvo.test").arg(round).toLatin1();
    const QByteArray off_host = QStringLiteral("off%1.tarvo.test").arg(round).toLatin1();
    const int probes = switcher->probes_answered();
    ASSERT_TRUE(SetProxy(u"fixed_servers", ProxyServer())) << last_error_.toStdString();
    EXPECT_GT(switcher->probes_answered(), probes);
    Load(browser, "http://" + on_host + "/page");
    EXPECT_EQ(proxy_.CountFor(on_host), 1) << "round " << round;
    EXPECT_EQ(client_->titles.back(), u"via proxy " + QString::fromLatin1(on_host).toStdU16String());

    ASSERT_TRUE(SetProxy(u"", u"")) << last_error_.toStdString();
    Load(browser, "http://" + off_host + "/page");
    EXPECT_EQ(proxy_.CountFor(off_host), 0) << "round " << round;
  }
  // Late requests of a page (its icon) follow the setting of their own time too.
  QTest::qWait(300);
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(proxy_.CountFor(QStringLiteral("off%1.tarvo.test").arg(round).toLatin1()), 0);
  }
}

TEST_F(CefProxyTest, SwitchingInsideBeforeBrowseAppliesToThatNavigation) {
  // The browser switches the proxy from its before-browse callback and lets the
  // navigation go on: that navigation must already use the new setting.
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  client_->cancel_navigation = [this](const CefString& url) {
    if (url.find(u"vpn.tarvo.test") != CefString::npos) {
      EXPECT_TRUE(SetProxy(u"fixed_servers", ProxyServer())) << last_error_.toStdString();
    }
    return false;
  };
  Load(browser, "http://vpn.tarvo.test/inside");
  ASSERT_TRUE(WaitFor([&] { return proxy_.CountFor("vpn.tarvo.test") > 0; }));
  ASSERT_TRUE(WaitFor([&] { return client_->titles.back() == u"via proxy vpn.tarvo.test"; }));
  // The client was asked once: the held navigation is not put to it again.
  const auto asked = std::count_if(client_->navigations.begin(), client_->navigations.end(),
                                   [](const auto& n) { return n.url.find(u"vpn.tarvo.test") != CefString::npos; });
  EXPECT_EQ(asked, 1);
}

TEST_F(CefProxyTest, MalformedPreferencesAreRefusedAndChangeNothing) {
  EXPECT_FALSE(SetProxy(u"fixed_servers", u"no-port-here"));
  EXPECT_FALSE(last_error_.isEmpty());
  EXPECT_FALSE(SetProxy(u"fixed_servers", u"127.0.0.1:99999"));
  EXPECT_FALSE(SetProxy(u"pac_script", u""));
  CefString error;
  EXPECT_FALSE(CefRequestContext::GetGlobalContext()->SetPreference("proxy", CefValue::Create(), error));
  EXPECT_FALSE(CefRequestContext::GetGlobalContext()->SetPreference("homepage", CefValue::Create(), error));
  EXPECT_FALSE(CefRequestContext::GetGlobalContext()->CanSetPreference("homepage"));
}

TEST_F(CefProxyTest, ProxyChallengesAreAnsweredWithTheClientsCredentials) {
  proxy_.RequireCredentials("nobody", "token-1");
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(SetProxy(u"fixed_servers", ProxyServer()));

  // Without an answer the request fails with the challenge.
  Load(browser, "http://refused.tarvo.test/page");
  ASSERT_FALSE(client_->auth_requests.empty());
  EXPECT_EQ(proxy_.CountFor("refused.tarvo.test"), 0);

  client_->credentials = std::make_pair(CefString(u"nobody"), CefString(u"token-1"));
  client_->auth_requests.clear();
  Load(browser, "http://secured.tarvo.test/page");
  ASSERT_FALSE(client_->auth_requests.empty());
  const auto& asked = client_->auth_requests.front();
  EXPECT_TRUE(asked.is_proxy);
  EXPECT_EQ(asked.host, u"127.0.0.1");
  EXPECT_EQ(asked.port, proxy_.port());
  EXPECT_EQ(asked.realm, u"tarvo-vpn");
  EXPECT_GE(proxy_.challenges(), 1);
  EXPECT_EQ(proxy_.CountFor("secured.tarvo.test"), 1);
  EXPECT_EQ(client_->titles.back(), u"via proxy secured.tarvo.test");
}

}  // namespace
}  // namespace tarvo::test
