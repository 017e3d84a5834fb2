// The compatibility layer over QtWebKit: the six events and their "top" semantics,
// cancelling, error pages, new windows, the accelerator hook, the network (system
// proxy only) and its cookie jar file.
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTest>
#include <QWebFrame>
#include <QWebPage>
#include <gtest/gtest.h>
#include <memory>

#include "engines/counting_proxy.h"
#include "engines/ie/accelerator_translator.h"
#include "engines/ie/compat_network.h"
#include "engines/ie/persistent_cookie_jar.h"
#include "engines/ie/web_browser_control.h"
#include "engines/ie/web_browser_events.h"
#include "engines/test_http_server.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

using namespace tarvo::ie;

struct Event {
  std::string name;
  DispatchId dispatch = nullptr;
  WString url;
  WString frame_name;
  int status = 0;
};

// Records every event; answers as the test configures.
class RecordingEvents : public WebBrowserEvents {
 public:
  void BeforeNavigate2(DispatchId dispatch, const WString& url, int, const WString& frame_name, const std::string&,
                       const WString&, bool& cancel) override {
    events.push_back({"before", dispatch, url, frame_name, 0});
    cancel = cancel_url && url.find(*cancel_url) != WString::npos;
  }
  void NavigateComplete2(DispatchId dispatch, const WString& url) override {
    events.push_back({"complete", dispatch, url, {}, 0});
  }
  void DocumentComplete(DispatchId dispatch, const WString& url) override {
    events.push_back({"document", dispatch, url, {}, 0});
  }
  void NavigateError(DispatchId dispatch, const WString& url, const WString& frame_name, int status,
                     bool& cancel) override {
    events.push_back({"error", dispatch, url, frame_name, status});
    cancel = cancel_errors;
  }
  void TitleChange(const WString& text) override { titles.push_back(text); }
  void NewWindow3(WebBrowserControl** new_browser, bool& cancel, int, const WString&, const WString& url) override {
    new_window_urls.push_back(url);
    if (make_window) {
      *new_browser = make_window();
    } else {
      cancel = true;
    }
  }

  int Count(const std::string& name, DispatchId dispatch) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const Event& event) {
      return event.name == name && event.dispatch == dispatch;
    }));
  }
  int CountOther(const std::string& name, DispatchId top) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const Event& event) {
      return event.name == name && event.dispatch != top;
    }));
  }

  std::vector<Event> events;
  std::vector<WString> titles;
  std::vector<WString> new_window_urls;
  std::optional<WString> cancel_url;
  bool cancel_errors = true;
  std::function<WebBrowserControl*()> make_window;
};

class RecordingTranslator : public AcceleratorTranslator {
 public:
  bool TranslateAccelerator(const KeyMessage& message) override {
    messages.push_back(message);
    const bool accelerator = message.virtual_key == KeyMessage::kVkF5 || message.virtual_key == KeyMessage::kVkF11;
    if (accelerator && message.message == KeyMessage::kKeyUp) {
      commands.push_back(message.virtual_key == KeyMessage::kVkF5 ? 40011 : 40003);
    }
    return accelerator;
  }
  std::vector<KeyMessage> messages;
  std::vector<int> commands;
};

class IeLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.listening());
    parent_.resize(800, 600);
    parent_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent_));
    network_ = std::make_unique<CompatNetwork>(CookieFolder());
    control_ = std::make_unique<WebBrowserControl>(&parent_, *network_);
    control_->SetEventSink(&events_);
  }
  void TearDown() override {
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    extra_controls_.clear();
    control_.reset();
    network_.reset();
  }

  QString CookieFolder() const { return QString::fromStdString((root_.path() / "Cookie").string()); }
  static QString DataFolder() { return qEnvironmentVariable("TARVO_TEST_DATA") + QStringLiteral("/engines"); }

  template <typename Predicate>
  static bool WaitFor(Predicate predicate, int timeout_ms = 15000) {
    return QTest::qWaitFor(predicate, timeout_ms);
  }
  // Navigates and waits for the top document to complete or fail.
  bool Load(const QString& url) {
    const size_t mark = events_.events.size();
    control_->Navigate(url.toStdU16String());
    return WaitFor([&] {
      for (size_t i = mark; i < events_.events.size(); ++i) {
        const Event& event = events_.events[i];
        if ((event.name == "document" || event.name == "error") && event.dispatch == control_->Dispatch()) {
          return true;
        }
      }
      return false;
    });
  }
  QString Evaluate(const QString& script) const {
    return control_->page()->mainFrame()->evaluateJavaScript(script).toString();
  }

  TempDir root_;
  QWidget parent_;
  TestHttpServer server_{DataFolder()};
  RecordingEvents events_;
  std::unique_ptr<CompatNetwork> network_;
  std::unique_ptr<WebBrowserControl> control_;
  std::vector<std::unique_ptr<WebBrowserControl>> extra_controls_;
};

TEST_F(IeLayerTest, EventsTellTheTopDocumentFromItsFrames) {
  ASSERT_TRUE(Load(server_.Url("/frames.html")));
  ASSERT_TRUE(WaitFor([&] { return events_.CountOther("document", control_->Dispatch()) > 0; }));
  const DispatchId top = control_->Dispatch();

  ASSERT_FALSE(events_.events.empty());
  const Event& first = events_.events.front();
  EXPECT_EQ(first.name, "before");
  EXPECT_EQ(first.dispatch, top);
  EXPECT_EQ(QString::fromStdU16String(first.url), server_.Url("/frames.html"));
  EXPECT_TRUE(first.frame_name.empty());
  EXPECT_EQ(events_.Count("before", top), 1);
  EXPECT_EQ(events_.Count("complete", top), 1);
  EXPECT_EQ(events_.Count("document", top), 1);
  // The frame's own events carry another dispatch.
  EXPECT_EQ(events_.CountOther("before", top), 1);
  EXPECT_GE(events_.CountOther("complete", top), 1);
  EXPECT_EQ(events_.CountOther("document", top), 1);
  const auto frame_before = std::find_if(events_.events.begin(), events_.events.end(),
                                         [&](const Event& e) { return e.name == "before" && e.dispatch != top; });
  EXPECT_EQ(QString::fromStdU16String(frame_before->url), server_.Url("/child.html"));
  // Order of the top document: before-navigate, navigate-complete, document-complete.
  std::vector<std::string> top_order;
  for (const Event& event : events_.events) {
    if (event.dispatch == top) {
      top_order.push_back(event.name);
    }
  }
  EXPECT_EQ(top_order, (std::vector<std::string>{"before", "complete", "document"}));
  ASSERT_FALSE(events_.titles.empty());
  EXPECT_EQ(events_.titles.back(), u"Framed page");
  EXPECT_EQ(QString::fromStdU16String(control_->LocationURL()), server_.Url("/frames.html"));
}

TEST_F(IeLayerTest, CancelledNavigationsAreNotFetched) {
  events_.cancel_url = u"child.html";
  ASSERT_TRUE(Load(server_.Url("/frames.html")));
  QTest::qWait(300);
  EXPECT_EQ(server_.CountFor("/child.html"), 0);

  control_->Navigate(server_.Url("/child.html").toStdU16String());
  QTest::qWait(500);
  EXPECT_EQ(server_.CountFor("/child.html"), 0);
  EXPECT_EQ(QString::fromStdU16String(control_->LocationURL()), server_.Url("/frames.html"));
}

TEST_F(IeLayerTest, FailedNavigationsReportAnErrorAndShowNoErrorPageWhenCancelled) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const QString dead = QStringLiteral("http://127.0.0.1:%1/gone").arg(closed.serverPort());
  closed.close();

  ASSERT_TRUE(Load(dead));
  const Event& error = events_.events.back();
  EXPECT_EQ(error.name, "error");
  EXPECT_EQ(error.dispatch, control_->Dispatch());
  EXPECT_EQ(QString::fromStdU16String(error.url), dead);
  EXPECT_NE(error.status, 0);
  EXPECT_EQ(events_.Count("document", control_->Dispatch()), 0);
  QTest::qWait(200);
  EXPECT_FALSE(Evaluate("document.title").contains("failed"));

  events_.cancel_errors = false;
  ASSERT_TRUE(Load(dead));
  ASSERT_TRUE(WaitFor([&] { return Evaluate("document.title") == "Navigation failed"; }));
}

TEST_F(IeLayerTest, ScriptErrorsRaiseNoDialogAndScriptsKeepRunning) {
  ASSERT_TRUE(Load(server_.Url("/script_error.html")));
  ASSERT_TRUE(WaitFor([&] { return !events_.titles.empty() && events_.titles.back() == u"scripts kept running"; }));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(IeLayerTest, NewWindowsOpenInTheControlTheHandlerGives) {
  events_.make_window = [this] {
    extra_controls_.push_back(std::make_unique<WebBrowserControl>(&parent_, *network_));
    return extra_controls_.back().get();
  };
  ASSERT_TRUE(Load(server_.Url("/popups.html")));
  QTest::mouseClick(control_->Window(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 20));
  ASSERT_TRUE(WaitFor([&] { return !extra_controls_.empty(); }));
  ASSERT_EQ(events_.new_window_urls.size(), 1U);
  EXPECT_EQ(QString::fromStdU16String(events_.new_window_urls.front()), server_.Url("/child.html"));
  ASSERT_TRUE(WaitFor([&] { return server_.CountFor("/child.html") == 1; }));
  ASSERT_TRUE(WaitFor([&] {
    return QString::fromStdU16String(extra_controls_.front()->LocationURL()) == server_.Url("/child.html");
  }));
  EXPECT_EQ(QString::fromStdU16String(control_->LocationURL()), server_.Url("/popups.html"));

  // Refused: no window, nothing fetched.
  events_.make_window = nullptr;
  QTest::mouseClick(control_->Window(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 20));
  ASSERT_TRUE(WaitFor([&] { return events_.new_window_urls.size() == 2; }));
  QTest::qWait(300);
  EXPECT_EQ(server_.CountFor("/child.html"), 1);
  EXPECT_EQ(extra_controls_.size(), 1U);
}

TEST_F(IeLayerTest, FunctionKeysReachTheTranslatorAndOtherKeysReachThePage) {
  RecordingTranslator translator;
  control_->SetAcceleratorTranslator(&translator);
  ASSERT_TRUE(Load(server_.Url("/script_error.html")));
  QWidget* view = control_->Window();
  view->setFocus();
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(50, 25));

  QTest::keyClick(view, Qt::Key_F5);
  QTest::keyClick(view, Qt::Key_F11);
  EXPECT_EQ(translator.commands, (std::vector<int>{40011, 40003}));
  ASSERT_GE(translator.messages.size(), 4U);
  EXPECT_EQ(translator.messages[0].message, KeyMessage::kKeyDown);
  EXPECT_EQ(translator.messages[0].virtual_key, KeyMessage::kVkF5);
  EXPECT_EQ(translator.messages[1].message, KeyMessage::kKeyUp);
  QTest::qWait(300);
  EXPECT_EQ(server_.CountFor("/script_error.html"), 1) << "a consumed F5 does not reload by itself";

  QTest::keyClicks(view, "abc");
  EXPECT_EQ(Evaluate("document.getElementById('field').value"), "abc");
  EXPECT_EQ(translator.messages.back().virtual_key, static_cast<uint32_t>('C'));
}

TEST_F(IeLayerTest, TheApplicationProxyIsNeverUsed) {
  CountingProxy proxy;
  QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy.port()));

  // A plain network manager follows the application proxy ...
  QNetworkAccessManager plain;
  std::unique_ptr<QNetworkReply> reply(plain.get(QNetworkRequest(QUrl("http://plain.tarvo.test/"))));
  ASSERT_TRUE(WaitFor([&] { return reply->isFinished(); }));
  EXPECT_EQ(proxy.CountFor("plain.tarvo.test"), 1);

  // ... the compatibility engine does not.
  ASSERT_TRUE(Load(server_.Url("/basic.html")));
  EXPECT_EQ(events_.titles.back(), u"Basic page");
  ASSERT_TRUE(Load("http://compat.tarvo.test/"));
  EXPECT_EQ(events_.events.back().name, "error");
  EXPECT_EQ(proxy.CountFor("compat.tarvo.test"), 0);
  EXPECT_EQ(proxy.CountFor("127.0.0.1"), 0);
}

TEST_F(IeLayerTest, LastingCookiesSurviveARestartOfTheLayerUntilCleared) {
  const QByteArray expires = QDateTime::currentDateTimeUtc().addDays(30).toString(Qt::RFC2822Date).toLatin1();
  TestHttpServer::Response set;
  set.body = "<html><head><title>set</title></head><body>set</body></html>";
  set.headers.append(qMakePair(QByteArray("Set-Cookie"), "lasting=42; Path=/; Expires=" + expires));
  set.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("session=1; Path=/")));
  server_.Route("/set", set);
  ASSERT_TRUE(Load(server_.Url("/set")));

  control_.reset();
  network_.reset();
  const QString jar = CookieFolder() + "/" + CompatNetwork::kCookieFileName;
  ASSERT_TRUE(QFile::exists(jar));
  {
    // A damaged line does not cost the others.
    QFile file(jar);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\x01\x02 not a cookie ;;; \n");
  }
  network_ = std::make_unique<CompatNetwork>(CookieFolder());
  control_ = std::make_unique<WebBrowserControl>(&parent_, *network_);
  control_->SetEventSink(&events_);
  ASSERT_TRUE(Load(server_.Url("/child.html")));
  const QByteArray cookies = server_.LastHeader("/child.html", "Cookie");
  EXPECT_TRUE(cookies.contains("lasting=42"));
  EXPECT_FALSE(cookies.contains("session=1"));

  // Cleared: not sent on the next request, and gone from the file for the next run.
  ASSERT_TRUE(network_->cookie_jar()->Clear());
  network_->ClearCaches();
  ASSERT_TRUE(Load(server_.Url("/child.html")));
  EXPECT_TRUE(server_.LastHeader("/child.html", "Cookie").isEmpty());
  QFile file(jar);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().isEmpty());
}

}  // namespace
}  // namespace tarvo::test
