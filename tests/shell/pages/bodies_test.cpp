// The two engine bodies and the Chromium client with real engines, in the page host
// window, against pages served on loopback. The bus is drained here like the main
// window drains it, and every page message is recorded before the page list applies
// it, so the tests see what the engines reported and what the model made of it.
#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTest>
#include <QWebFrame>
#include <QWebPage>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/settings_registry.h"
#include "engines/cef/cef_browser.h"
#include "engines/cef/cef_browser_host.h"
#include "engines/cef/cef_frame.h"
#include "engines/cef/create_chromium_browser.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/cef/web_client.h"
#include "engines/ie/compat_network.h"
#include "engines/ie/tab_ie_body.h"
#include "engines/ie/web_browser_control.h"
#include "engines/test_http_server.h"
#include "platform/text.h"
#include "shell/bus/bus_keys.h"
#include "shell/bus/message_bus.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page.h"
#include "shell/pages/page_bus_handler.h"
#include "shell/pages/page_records.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_host.h"
#include "store/user_database.h"
#include "support/temp_dir.h"
#include "ui/resource_manager.h"
#include "shell/main_window_messages.h"

namespace tarvo::test {
namespace {

// Opens pages in the real engines, as start-up wires the page list to them.
class EngineBodyFactory : public IPageBodyFactory {
 public:
  void OpenChromiumPage(const WString& url) override {
    if (bodyBar != nullptr) CreateChromiumBrowser(bodyBar->GetWidget(), WideToUtf8(url));
  }
  bool OpenIePage(const WString& url) override { return CreateIeBody(url) != nullptr; }
  // The engine stays up for the whole program; its main shuts it down.
  void ShutdownEngines() override {}

  CBodyBar* bodyBar = nullptr;  // not owned
};

// One page message as the engines posted it.
struct BusEvent {
  WString key;
  Page* page = nullptr;
  WString text;
  int flag = -1;
};

// Page channels of the bus: the ones the page list applies.
bool IsPageChannel(WStringView key) {
  return key == BusKeys::kTabOpenUrl || key == BusKeys::kTabOpenHome || key == BusKeys::kPagesAddPage ||
         key == BusKeys::kPageIsLoading || key == BusKeys::kPageTempRedirect || key == BusKeys::kPageSetIconUrl ||
         key == BusKeys::kPageSetTitle;
}

WString Wide(const QString& text) { return text.toStdU16String(); }

TestHttpServer::Response Html(const QByteArray& body) {
  TestHttpServer::Response response;
  response.body = body;
  return response;
}

class BodiesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new TempDir();
    auto& settings = SettingsRegistry::Instance();
    settings.Set(u"newpage", u"about:blank");
    settings.Set(u"homepage", u"about:blank");
    settings.Set(u"app/lang", Utf8ToWide(std::string(getenv("TARVO_SOURCE_DIR")) + "/lang/"));
    settings.Set(u"appdata/picture", Utf8ToWide((root_->path() / "picture").string() + "/"));
    ASSERT_EQ(UserDatabase::Instance().OpenFile((root_->path() / "kx.dat").string()), 0);
    ASSERT_EQ(UserDatabase::Instance().Upgrade(), 0);
    MessageBus::Instance().Initialise();
    DuiLib::CResourceManager::Instance().SetResourcePath(QString::fromUtf8(getenv("TARVO_TEST_DATA")) +
                                                         QStringLiteral("/shell/"));
    DuiLib::CResourceManager::Instance().SetResourceZip(QString());
    DuiLib::CResourceManager::Instance().SetErrorReporter([](const QString& message) {
      if (!message.contains(QLatin1String("Tabbar"))) fprintf(stderr, "skin: %s\n", qPrintable(message));
    });
    network_ = new CompatNetwork(QString::fromStdString((root_->path() / "ie").string()));
  }

  void SetUp() override {
    ASSERT_TRUE(server_.listening());
    host_ = std::make_unique<PagesHost>();
    ASSERT_NE(host_->bodyBar, nullptr);
    factory_.bodyBar = host_->bodyBar;
    Pages::Instance().SetBodyFactory(&factory_);
    ClientInstance()->SetWindows(host_->window.GetHWND(), host_->bodyBar);
    TabIeBody::SetEnvironment(host_->bodyBar, host_->window.GetHWND(), network_);
  }

  void TearDown() override {
    UserDatabase::Instance().Execute("delete from domain_type where domain = ?", {std::string("localhost")});
    host_.reset();
    QTest::qWait(100);
    Drain();
    TabIeBody::SetEnvironment(nullptr, 0, nullptr);
    ClientInstance()->SetWindows(0, nullptr);
  }

  // Pops the page channels the way the main window does, records each message and
  // hands it to the page list.
  void Drain() {
    QCoreApplication::processEvents();
    for (bool popped = true; popped;) {
      popped = false;
      for (WStringView key : BusKeys::kPollOrder) {
        if (!IsPageChannel(key)) continue;
        for (uintptr_t payload = MessageBus::Instance().Pop(key); payload != 0;
             payload = MessageBus::Instance().Pop(key)) {
          popped = true;
          Record(key, payload);
          PageBusHandler::Handle(key, payload);
        }
      }
    }
  }

  void Record(WStringView key, uintptr_t payload) {
    BusEvent event{WString(key)};
    if (key == BusKeys::kPagesAddPage) {
      event.page = reinterpret_cast<Page*>(payload);
    } else if (key == BusKeys::kPageIsLoading) {
      const auto* record = reinterpret_cast<const PageFlagRecord*>(payload);
      event.page = record->page;
      event.flag = record->flag;
    } else if (key == BusKeys::kPageTempRedirect) {
      const auto* record = reinterpret_cast<const PageRedirectRecord*>(payload);
      event = {WString(key), record->page, record->url, record->redirect};
    } else if (key == BusKeys::kPageSetTitle || key == BusKeys::kPageSetIconUrl) {
      const auto* record = reinterpret_cast<const PageTextRecord*>(payload);
      event = {WString(key), record->page, record->text, -1};
    } else {
      return;
    }
    events_.push_back(event);
  }

  // Runs the event loop and drains the bus until the condition holds.
  template <typename Predicate>
  bool Pump(Predicate predicate, int timeoutMs = 20000) {
    return QTest::qWaitFor(
        [&] {
          Drain();
          return predicate();
        },
        timeoutMs);
  }
  // Keeps draining for a while, to catch messages that must not come.
  void Settle(int ms = 400) {
    Pump([] { return false; }, ms);
  }

  std::vector<BusEvent> EventsFor(Page* page, WStringView key) const {
    std::vector<BusEvent> found;
    for (const BusEvent& event : events_) {
      if (event.page == page && event.key == key) found.push_back(event);
    }
    return found;
  }

  // True when the page reported loading and then its end.
  bool LoadedAfterStart(Page* page) const {
    bool started = false;
    for (const BusEvent& event : EventsFor(page, BusKeys::kPageIsLoading)) {
      if (event.flag == 1) started = true;
      if (event.flag == 0 && started) return true;
    }
    return false;
  }

  static TabCefBody* CefBody(Page* page) { return dynamic_cast<TabCefBody*>(page->Body()); }

  // Opens a Chromium page through the page list and waits until its first page is in.
  Page* OpenChromium(const QByteArray& path) {
    const int before = Pages::Instance().Count();
    Pages::Instance().OpenUrlInNewTab(Wide(server_.Url(QString::fromLatin1(path))));
    if (!Pump([&] { return Pages::Instance().Count() > before; })) return nullptr;
    Page* page = Pages::Instance().PageAt(-1);
    TabCefBody* body = CefBody(page);
    if (body == nullptr) return nullptr;
    if (!Pump([&] { return server_.CountFor(path) > 0 && !body->GetBrowser()->IsLoading(); })) return nullptr;
    return page;
  }

  EngineBodyFactory factory_;
  std::unique_ptr<PagesHost> host_;
  TestHttpServer server_;
  std::vector<BusEvent> events_;

  static inline TempDir* root_ = nullptr;
  static inline CompatNetwork* network_ = nullptr;
};

TEST_F(BodiesTest, ChromiumPageReportsLoadingTitleAndOnlyMainFrameNavigations) {
  server_.Route("/start", Html("<html><head><title>Start</title></head><body>start</body></html>"));
  server_.Route("/framed", Html("<html><head><title>带框架的页面</title></head>"
                                "<body><iframe src=\"/inner\"></iframe></body></html>"));
  server_.Route("/inner", Html("<html><head><title>Inner</title></head><body>inner</body></html>"));
  server_.Redirect("/hop", "/framed");

  Page* page = OpenChromium("/start");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetEngineType(), Page::kEngineChromium);
  ASSERT_EQ(Pages::Instance().Current(), page);

  events_.clear();
  page->Navigate(Wide(server_.Url("/framed")));
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page) && server_.CountFor("/inner") > 0; }));
  ASSERT_TRUE(Pump([&] { return page->GetTitle() == u"带框架的页面"; }));
  Settle();

  const auto redirects = EventsFor(page, BusKeys::kPageTempRedirect);
  ASSERT_EQ(redirects.size(), 1u);
  EXPECT_EQ(redirects[0].text, Wide(server_.Url("/framed")));
  EXPECT_EQ(redirects[0].flag, 0);
  const auto titles = EventsFor(page, BusKeys::kPageSetTitle);
  ASSERT_FALSE(titles.empty());
  EXPECT_EQ(titles.back().text, u"带框架的页面");
  EXPECT_EQ(page->GetLoadedUrl(), Wide(server_.Url("/framed")));
  EXPECT_FALSE(page->IsLoading());

  // A server redirect is reported as one: the first address plain, the target flagged.
  events_.clear();
  page->Navigate(Wide(server_.Url("/hop")));
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page); }));
  Settle();
  const auto hops = EventsFor(page, BusKeys::kPageTempRedirect);
  ASSERT_EQ(hops.size(), 2u);
  EXPECT_EQ(hops[0].text, Wide(server_.Url("/hop")));
  EXPECT_EQ(hops[0].flag, 0);
  EXPECT_EQ(hops[1].text, Wide(server_.Url("/framed")));
  EXPECT_EQ(hops[1].flag, 1);
}

TEST_F(BodiesTest, ZoomStepsStopAtTheLimits) {
  server_.Route("/zoom", Html("<html><body>zoom</body></html>"));
  Page* page = OpenChromium("/zoom");
  ASSERT_NE(page, nullptr);
  TabCefBody* body = CefBody(page);
  auto host = body->GetBrowser()->GetHost();

  for (int i = 0; i < 60; ++i) body->ZoomIn();
  ASSERT_TRUE(Pump([&] { return host->GetZoomLevel() >= TabCefBody::kMaxZoomLevel - 1e-9; }, 5000));
  Settle(200);
  EXPECT_DOUBLE_EQ(host->GetZoomLevel(), TabCefBody::kMaxZoomLevel);

  body->ZoomOut();
  ASSERT_TRUE(Pump([&] { return host->GetZoomLevel() < TabCefBody::kMaxZoomLevel; }, 5000));
  EXPECT_NEAR(host->GetZoomLevel(), TabCefBody::kMaxZoomLevel - TabCefBody::kZoomStep, 1e-9);

  for (int i = 0; i < 120; ++i) body->ZoomOut();
  ASSERT_TRUE(Pump([&] { return host->GetZoomLevel() <= TabCefBody::kMinZoomLevel + 1e-9; }, 5000));
  Settle(200);
  EXPECT_DOUBLE_EQ(host->GetZoomLevel(), TabCefBody::kMinZoomLevel);
}

TEST_F(BodiesTest, SavedPageSourceIsTheEnginesTextInUtf8WithoutByteOrderMark) {
  const QByteArray source =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>源码</title></head>"
      "<body><p>第一行\n第二行 &amp; \"引号\"</p></body></html>";
  server_.Route("/source", Html(source));
  Page* page = OpenChromium("/source");
  ASSERT_NE(page, nullptr);

  const QString path = QString::fromStdString((root_->path() / "source.html").string());
  QFile::remove(path);
  TabCefBody::SavePageSource(page, Wide(path));
  ASSERT_TRUE(Pump([&] { return QFile(path).size() > 0; }, 10000));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray saved = file.readAll();
  EXPECT_FALSE(saved.startsWith("\xEF\xBB\xBF"));
  EXPECT_FALSE(saved.contains("\r\n"));
  EXPECT_EQ(saved, source);

  // A folder that does not exist leaves nothing behind and breaks nothing.
  const QString missing = QString::fromStdString((root_->path() / "no" / "such" / "x.html").string());
  TabCefBody::SavePageSource(page, Wide(missing));
  Settle(300);
  EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(BodiesTest, MiddleClickOnLinkBecomesNewPageThroughAfterCreated) {
  server_.Route("/links", Html("<html><body style=\"margin:0\"><a href=\"/child\" style=\"display:block;"
                               "width:400px;height:300px;background:#8ac\">child</a></body></html>"));
  server_.Route("/child", Html("<html><head><title>Child</title></head><body>child</body></html>"));
  Page* page = OpenChromium("/links");
  ASSERT_NE(page, nullptr);
  QWidget* view = CefBody(page)->GetWindow();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(Pump([&] { return view->isVisible() && view->width() > 100 && view->height() > 100; }));
  QWidget* target = view->focusProxy() != nullptr ? view->focusProxy() : view;
  Settle(300);

  events_.clear();
  QTest::mouseClick(target, Qt::MiddleButton, Qt::NoModifier, QPoint(60, 60));
  ASSERT_TRUE(Pump([&] { return Pages::Instance().Count() == 2 && server_.CountFor("/child") > 0; }));

  const auto added = [&] {
    std::vector<Page*> pages;
    for (const BusEvent& event : events_)
      if (event.key == BusKeys::kPagesAddPage) pages.push_back(event.page);
    return pages;
  }();
  ASSERT_EQ(added.size(), 1u);
  Page* child = added[0];
  EXPECT_NE(child, page);
  EXPECT_EQ(Pages::Instance().IndexOf(child), 1);
  EXPECT_EQ(child->GetEngineType(), Page::kEngineChromium);
  TabCefBody* childBody = CefBody(child);
  ASSERT_NE(childBody, nullptr);
  EXPECT_EQ(ClientInstance()->PageOf(childBody->GetBrowser()->GetIdentifier()), child);
  EXPECT_TRUE(Pump([&] { return child->GetTitle() == u"Child"; }));
}

TEST_F(BodiesTest, HostOfTheCompatibilityEngineNeverLoadsInChromium) {
  server_.Route("/leave", Html("<html><body>leave</body></html>"));
  server_.Route("/ie-only", Html("<html><body>ie</body></html>"));
  Page* page = OpenChromium("/leave");
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(UserDatabase::Instance().Execute("insert into domain_type (domain, type) values (?, 2)",
                                             {std::string("localhost")}),
            0);

  const QString ieUrl = QStringLiteral("http://localhost:%1/ie-only").arg(server_.port());
  events_.clear();
  host_->window.messages.clear();
  CefBody(page)->GetBrowser()->GetMainFrame()->ExecuteJavaScript(
      Wide(QStringLiteral("location.href = '%1';").arg(ieUrl)), Wide(server_.Url("/leave")), 0);
  const auto heard = [&] {
    for (DuiLib::UINT message : host_->window.messages)
      if (message == MainWindowMessages::kOpenCompatibilityTab) return true;
    return false;
  };
  ASSERT_TRUE(Pump(heard, 10000));
  Settle(500);
  EXPECT_EQ(server_.CountFor("/ie-only"), 0);
  for (const BusEvent& event : EventsFor(page, BusKeys::kPageTempRedirect)) {
    EXPECT_NE(event.text, Wide(ieUrl));
  }
  EXPECT_EQ(Wide(QString::fromStdU16String(CefBody(page)->GetBrowser()->GetMainFrame()->GetURL())),
            Wide(server_.Url("/leave")));
}

TEST_F(BodiesTest, OnlyIconAddressesEndingInIcoArePosted) {
  QFile picture(qEnvironmentVariable("TARVO_TEST_DATA") + QStringLiteral("/engines/pixel.png"));
  ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
  TestHttpServer::Response icon;
  icon.content_type = "image/png";
  icon.body = picture.readAll();
  server_.Route("/site.ico", icon);
  server_.Route("/site.png", icon);
  server_.Route("/ico", Html("<html><head><link rel=\"icon\" href=\"/site.ico\"></head><body>ico</body></html>"));
  server_.Route("/png", Html("<html><head><link rel=\"icon\" href=\"/site.png\"></head><body>png</body></html>"));

  Page* page = OpenChromium("/png");
  ASSERT_NE(page, nullptr);
  Pump([&] { return server_.CountFor("/site.png") > 0; }, 5000);
  Settle(500);
  EXPECT_TRUE(EventsFor(page, BusKeys::kPageSetIconUrl).empty());

  page->Navigate(Wide(server_.Url("/ico")));
  ASSERT_TRUE(Pump([&] { return !EventsFor(page, BusKeys::kPageSetIconUrl).empty(); }));
  const auto icons = EventsFor(page, BusKeys::kPageSetIconUrl);
  EXPECT_EQ(icons.back().text, Wide(server_.Url("/site.ico")));
  EXPECT_EQ(page->GetIconUrl(), Wide(server_.Url("/site.ico")));
}

TEST_F(BodiesTest, CompatibilityBodyReportsItsEventsAndSuppressesTheErrorPage) {
  server_.Route("/ie-page", Html("<html><head><title>兼容页面</title></head><body>ie</body></html>"));
  const WString url = Wide(server_.Url("/ie-page"));
  TabIeBody* body = CreateIeBody(url);
  ASSERT_NE(body, nullptr);
  Page* page = body->GetOwner();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetEngineType(), Page::kEngineIe);
  EXPECT_EQ(Pages::Instance().IndexOf(page), 0);

  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page) && page->GetTitle() == u"兼容页面"; }));
  Settle();
  const auto redirects = EventsFor(page, BusKeys::kPageTempRedirect);
  ASSERT_FALSE(redirects.empty());
  for (const BusEvent& event : redirects) EXPECT_EQ(event.flag, 0);
  EXPECT_EQ(redirects.back().text, url);
  for (const BusEvent& event : EventsFor(page, BusKeys::kPageSetTitle)) {
    EXPECT_EQ(event.text, u"兼容页面");
  }
  EXPECT_EQ(page->GetLoadedUrl(), url);
  EXPECT_FALSE(page->IsLoading());

  // An unreachable address ends the loading state and shows no engine error page.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  const quint16 closedPort = probe.serverPort();
  probe.close();
  events_.clear();
  body->Navigate(Wide(QStringLiteral("http://127.0.0.1:%1/gone").arg(closedPort)), {}, {});
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page); }));
  Settle();
  EXPECT_FALSE(body->Control()->page()->mainFrame()->toHtml().contains(QLatin1String("cannot be displayed")));
  EXPECT_FALSE(page->IsLoading());
}

}  // namespace
}  // namespace tarvo::test
