// Certificate errors through the Chromium layer: a page served over TLS with a
// certificate nobody trusts loads only at the address the protected-site list
// names as a mirror (scheme, host and port as the engine reads them), and neither
// answer outlives a change of the list's mind.
#include "settings/settings_registry.h"
#include "engines/cef_fixture.h"
#include "engines/tls_listener.h"
#include "platform/text.h"
#include "protect/domain_list.h"
#include "protect/protected_sites.h"
#include "store/test_database.h"

namespace tarvo::test {
namespace {

class CefCertificateTest : public CefFixture {
 protected:
  void SetUp() override {
    CefFixture::SetUp();
    ASSERT_TRUE(tls_.listening());
    SettingsRegistry::Instance().Set(u"usercenter/http", u"tarvo://");
    ASSERT_EQ(sites_.Add({"1", "https://bank.example.cn/", tls_.Url("/").toStdString()}), 0);
    environment_.certificate_questions.clear();
    // The browser's own lookup over the protected-site list; `accept_` takes the
    // list away to show the lookup is asked every time.
    environment_.mirror_for_certificate_error = [this](const std::string& url) {
      WString mirror;
      return accept_ && list_.FindTarget(Utf8ToWide(url), mirror) ? WideToUtf8(mirror) : std::string();
    };
  }
  void TearDown() override {
    environment_.mirror_for_certificate_error = nullptr;
    CefFixture::TearDown();
  }

  // Loads url in browser and waits for the load to end, however it ends.
  void Load(const CefRefPtr<CefBrowser>& browser, const QString& url) {
    const size_t from = client_->loading.size();
    browser->GetMainFrame()->LoadURL(url.toStdU16String());
    ASSERT_TRUE(WaitForLoad(browser, from));
  }

  // The basic page's text when it is what the browser shows, else "none".
  QString PageText(const CefRefPtr<CefBrowser>& browser) {
    return Evaluate(browser, "document.getElementById('text') ? document.getElementById('text').textContent : 'none'");
  }

  // Every question since the last call was about url (and there was one).
  void ExpectAskedAbout(const QString& url) {
    auto& questions = environment_.certificate_questions;
    EXPECT_FALSE(questions.empty()) << "the lookup was not asked about " << url.toStdString();
    for (const std::string& question : questions) {
      EXPECT_EQ(QString::fromStdString(question), url);
    }
    questions.clear();
  }

  static constexpr const char* kText = "An apple, another Apple, a third apple and one more apple.";
  CefTestEnvironment& environment_ = CefTestEnvironment::Instance();
  bool accept_ = true;
  TestDatabase store_;
  DomainList list_{store_.db()};
  ProtectedSites sites_{store_.db()};
  TlsListener* listener_ = new TlsListener;  // owned by tls_
  TestHttpServer tls_{DataFolder(), std::unique_ptr<QTcpServer>(listener_)};
};

TEST_F(CefCertificateTest, AcceptanceEndsWhenTheListStopsNamingTheMirror) {
  CefRefPtr<CefBrowser> browser = Open(tls_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_EQ(PageText(browser), kText);
  environment_.certificate_questions.clear();

  // The engine remembers the accepted certificate and would not ask again; the
  // lookup still decides: another page of the host, in this browser and in a new
  // one, is refused.
  accept_ = false;
  Load(browser, tls_.Url("/child.html"));
  ExpectAskedAbout(tls_.Url("/child.html"));
  EXPECT_EQ(tls_.CountFor("/child.html"), 0);
  CefRefPtr<CefBrowser> second = Open(tls_.Url("/basic.html"));
  ASSERT_NE(second, nullptr);
  ExpectAskedAbout(tls_.Url("/basic.html"));
  EXPECT_EQ(tls_.CountFor("/basic.html"), 1);
  EXPECT_EQ(PageText(second), "none");

  // So is an image of that host in a plain page elsewhere.
  TestHttpServer::Response page;
  page.body = "<html><body><img src=\"" + tls_.Url("/pixel.png").toUtf8() + "\"></body></html>";
  server_.Route("/with-image.html", page);
  Load(second, server_.Url("/with-image.html"));
  QTest::qWait(500);
  ExpectAskedAbout(tls_.Url("/pixel.png"));
  EXPECT_EQ(tls_.CountFor("/pixel.png"), 0);

  // Naming it again is honoured: the refusals were not remembered either.
  accept_ = true;
  Load(second, tls_.Url("/child.html"));
  EXPECT_EQ(tls_.CountFor("/child.html"), 1);
}

// Addresses that a host read from the text would take for the mirror, and
// spellings of the mirror itself, each in a browser of its own. Another TLS server
// on the mirror's host (a different port) and one on [::1] stand for hosts that
// are not the mirror; the IPv6 one is a mirror of its own.
TEST_F(CefCertificateTest, OnlyTheMirrorsSchemeHostAndPortAreAccepted) {
  TlsListener* other_listener = new TlsListener;
  TestHttpServer other(DataFolder(), std::unique_ptr<QTcpServer>(other_listener));
  TlsListener* v6_listener = new TlsListener;
  TestHttpServer v6(DataFolder(), std::unique_ptr<QTcpServer>(v6_listener));
  v6_listener->close();
  ASSERT_TRUE(v6_listener->listen(QHostAddress::LocalHostIPv6, 0));
  const QString port = QString::number(tls_.port());
  const QString v6_port = QString::number(v6.port());
  ASSERT_EQ(sites_.Add({"2", "https://bank6.example.cn/", ("https://[::1]:" + v6_port + "/").toStdString()}), 0);

  const struct {
    QString url;
    bool loads;
  } cases[] = {
      {"https://127.0.0.1:" + port + "/basic.html", true},
      {"https://127.0.0.1:x@localhost:" + port + "/basic.html", false},  // user-info naming the mirror
      {"https://127.0.0.1:" + port + "@localhost:" + port + "/basic.html", false},
      {"https://127.0.0.1:" + QString::number(other.port()) + "/basic.html", false},  // the mirror's host, another port
      {"https://127.0.0.%31:" + port + "/basic.html", true},   // percent-encoded: the engine decodes it
      {"https://127.0.0.1.:" + port + "/basic.html", true},    // a trailing dot on an address is the same address
      {"https://localhost.:" + port + "/basic.html", false},   // a name is not the address it resolves to
      {"https://[::1]:" + v6_port + "/basic.html", true},
      {"https://[0:0::1]:" + v6_port + "/basic.html", true},
      {"https://[::1]:" + port + "@localhost:" + port + "/basic.html", false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.url.toStdString());
    CefRefPtr<CefBrowser> browser = Open(test.url);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(PageText(browser).toStdString(), test.loads ? kText : "none");
  }
  EXPECT_EQ(other.CountFor("/basic.html"), 0);
}

}  // namespace
}  // namespace tarvo::test
