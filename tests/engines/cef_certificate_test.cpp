// Certificate errors through the Chromium layer: a page served over TLS with a
// certificate nobody trusts loads only while the program's predicate accepts it,
// and neither answer outlives a change of the predicate's mind.
#include "engines/cef_fixture.h"
#include "engines/tls_listener.h"

namespace tarvo::test {
namespace {

class CefCertificateTest : public CefFixture {
 protected:
  void SetUp() override {
    CefFixture::SetUp();
    ASSERT_TRUE(tls_.listening());
    environment_.certificate_questions.clear();
    environment_.accept_certificate_error = [this](const std::string&) { return accept_; };
  }
  void TearDown() override {
    environment_.accept_certificate_error = nullptr;
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
    EXPECT_FALSE(questions.empty()) << "the predicate was not asked about " << url.toStdString();
    for (const std::string& question : questions) {
      EXPECT_EQ(QString::fromStdString(question), url);
    }
    questions.clear();
  }

  static constexpr const char* kText = "An apple, another Apple, a third apple and one more apple.";
  CefTestEnvironment& environment_ = CefTestEnvironment::Instance();
  bool accept_ = false;
  TlsListener* listener_ = new TlsListener;  // owned by tls_
  TestHttpServer tls_{DataFolder(), std::unique_ptr<QTcpServer>(listener_)};
};

TEST_F(CefCertificateTest, PageLoadsOnlyWhenThePredicateAccepts) {
  const QString url = tls_.Url("/basic.html");

  // Declined: the engine's refusal stands, nothing of the page is fetched.
  CefRefPtr<CefBrowser> browser = Open(url);
  ASSERT_NE(browser, nullptr);
  ExpectAskedAbout(url);
  EXPECT_EQ(listener_->handshakes(), 0);
  EXPECT_EQ(tls_.CountFor("/basic.html"), 0);
  EXPECT_EQ(PageText(browser), "none");
  EXPECT_TRUE(std::none_of(client_->titles.begin(), client_->titles.end(),
                           [](const CefString& title) { return title == u"Basic page"; }));

  // Accepted on the next try: the refusal was not remembered.
  accept_ = true;
  Load(browser, url);
  ExpectAskedAbout(url);
  EXPECT_GE(listener_->handshakes(), 1);
  EXPECT_EQ(tls_.CountFor("/basic.html"), 1);
  EXPECT_EQ(PageText(browser), kText);
}

TEST_F(CefCertificateTest, AcceptanceEndsWhenThePredicateStopsAccepting) {
  accept_ = true;
  CefRefPtr<CefBrowser> browser = Open(tls_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_EQ(PageText(browser), kText);
  environment_.certificate_questions.clear();

  // The engine remembers the accepted certificate and would not ask again; the
  // predicate still decides: another page of the host, in this browser and in a
  // new one, is refused.
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

  // Accepting again is honoured: the refusals were not remembered either.
  accept_ = true;
  Load(second, tls_.Url("/child.html"));
  EXPECT_EQ(tls_.CountFor("/child.html"), 1);
}

}  // namespace
}  // namespace tarvo::test
