// The two engine bodies and the Chromium client with real engines: loading, titles,
// navigations, zoom, saving, pop-ups and the compatibility body's events.
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTcpServer>
#include <QWebFrame>
#include <QWebPage>
#include <QWidget>

#include "engines/cef/cef_browser.h"
#include "engines/cef/cef_browser_host.h"
#include "engines/cef/cef_frame.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/cef/web_client.h"
#include "engines/ie/tab_ie_body.h"
#include "engines/ie/web_browser_control.h"
#include "bus/bus_keys.h"
#include "shell/commands/main_window_messages.h"
#include "shell/pages/bodies_fixture.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/zoom_level.h"
#include "session/sleeping_tabs_setting.h"
#include "session/windows/tab_sleeper.h"
#include "support/scoped_env.h"
#include "store/user_database.h"

namespace tarvo::test {
namespace {

TEST_F(BodiesTest, ChromiumPageReportsLoadingTitleAndOnlyMainFrameNavigations) {
  server_.Route("/start", Html("<html><head><title>Start</title></head><body>start</body></html>"));
  server_.Route("/framed", Html("<html><head><title>带框架的页面</title></head>"
                                "<body><iframe src=\"/inner\"></iframe></body></html>"));
  server_.Route("/inner", Html("<html><head><title>Inner</title></head><body>inner</body></html>"));
  server_.Redirect("/hop", "/framed");

  Page* page = OpenChromium("/start");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetEngineType(), Page::kEngineChromium);
  ASSERT_EQ(host_->pages.Current(), page);

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

// A page that finishes loading behind another one keeps that state, so when it is
// selected again its toolbar shows it loaded.
TEST_F(BodiesTest, APageThatFinishesLoadingBehindAnotherIsLoadedWhenSelectedAgain) {
  TestHttpServer::Response slow = Html("<html><body>" + QByteArray(2304, ' ') + "slow</body></html>");
  slow.chunk_size = 256;
  slow.chunk_interval_ms = 400;
  server_.Route("/slow", slow);
  server_.Route("/front", Html("<html><body>front</body></html>"));
  host_->pages.OpenUrlInNewTab(Wide(server_.Url("/slow")));
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 1 && host_->pages.Current()->IsLoading(); }));
  Page* slowPage = host_->pages.Current();
  ASSERT_NE(OpenChromium("/front"), nullptr);
  ASSERT_NE(host_->pages.Current(), slowPage);
  ASSERT_TRUE(Pump([&] { return !CefBody(slowPage)->GetBrowser()->IsLoading(); }));
  EXPECT_TRUE(Pump([&] { return !slowPage->IsLoading(); }));
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
  int written = 0;
  page->Body()->SaveSource(Wide(path), [&](bool ok) { written += ok ? 1 : -100; });
  ASSERT_TRUE(Pump([&] { return written != 0; }, 10000));
  EXPECT_EQ(written, 1);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray saved = file.readAll();
  EXPECT_FALSE(saved.startsWith("\xEF\xBB\xBF"));
  EXPECT_FALSE(saved.contains("\r\n"));
  EXPECT_EQ(saved, source);

  // A folder that does not exist leaves nothing behind and breaks nothing.
  const QString missing = QString::fromStdString((root_->path() / "no" / "such" / "x.html").string());
  bool reported = true;
  page->Body()->SaveSource(Wide(missing), [&](bool ok) { reported = ok; });
  ASSERT_TRUE(Pump([&] { return !reported; }, 10000));
  EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(BodiesTest, MiddleClickOnLinkBecomesNewPageThroughAfterCreated) {
  server_.Route("/links", Html("<html><body style=\"margin:0\"><a href=\"/child\" style=\"display:block;"
                               "width:400px;height:300px;background:#8ac\">child</a></body></html>"));
  server_.Route("/child", Html("<html><head><title>Child</title></head><body>child</body></html>"));
  Page* page = OpenChromium("/links");
  ASSERT_NE(page, nullptr);
  QWidget* target = InputTarget(page);
  ASSERT_NE(target, nullptr);

  events_.clear();
  QTest::mouseClick(target, Qt::MiddleButton, Qt::NoModifier, QPoint(60, 60));
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 2 && server_.CountFor("/child") > 0; }));

  const auto added = AddedPages();
  ASSERT_EQ(added.size(), 1u);
  Page* child = added[0];
  EXPECT_NE(child, page);
  EXPECT_EQ(host_->pages.IndexOf(child), 1);
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
  CefBody(page)->GetBrowser()->GetMainFrame()->ExecuteJavaScript(
      Wide(QStringLiteral("location.href = '%1';").arg(ieUrl)), Wide(server_.Url("/leave")), 0);
  ASSERT_TRUE(Pump([&] { return mainWindow_.Count(MainWindowMessages::kOpenCompatibilityTab) > 0; }, 10000));
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
  TabIeBody* body = CreateIeBody(factory_.ieEnvironment, url);
  ASSERT_NE(body, nullptr);
  Page* page = body->GetOwner();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetEngineType(), Page::kEngineIe);
  EXPECT_EQ(host_->pages.IndexOf(page), 0);

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

TEST_F(BodiesTest, PageSavedAsPdfIsOneLongPageAndAnUnwritablePathReportsFailure) {
  server_.Route("/print", Html("<html><body style=\"background:#cde\"><h1>打印</h1>printed page</body></html>"));
  Page* page = OpenChromium("/print");
  ASSERT_NE(page, nullptr);

  const QString path = QString::fromStdString((root_->path() / "page.pdf").string());
  QFile::remove(path);
  int reports = 0;
  bool written = false;
  page->Body()->SaveAsPdf(Wide(path), [&](bool ok) {
    ++reports;
    written = ok;
  });
  ASSERT_TRUE(Pump([&] { return reports > 0; }, 20000));
  Settle(200);
  EXPECT_EQ(reports, 1);
  EXPECT_TRUE(written);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray pdf = file.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  // 330 mm by 2000 mm in points (1/72 inch), one page.
  QRegularExpression mediaBox(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
  auto matches = mediaBox.globalMatch(QString::fromLatin1(pdf));
  int pages = 0;
  while (matches.hasNext()) {
    const auto match = matches.next();
    ++pages;
    EXPECT_NEAR(match.captured(1).toDouble(), 330.0 / 25.4 * 72.0, 1.0);
    EXPECT_NEAR(match.captured(2).toDouble(), 2000.0 / 25.4 * 72.0, 1.0);
  }
  EXPECT_EQ(pages, 1);

  // A folder that does not exist: no file, and the failure is reported.
  const QString missing = QString::fromStdString((root_->path() / "no" / "such" / "page.pdf").string());
  reports = 0;
  written = true;
  page->Body()->SaveAsPdf(Wide(missing), [&](bool ok) {
    ++reports;
    written = ok;
  });
  ASSERT_TRUE(Pump([&] { return reports > 0; }, 20000));
  EXPECT_FALSE(written);
  EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(BodiesTest, CompatibilityBodyZoomsFindsSavesAndPicturesItsPageToo) {
  server_.Route("/ie-ops", Html("<html><head><title>兼容</title></head><body>apple pear apple</body></html>"));
  TabIeBody* body = CreateIeBody(factory_.ieEnvironment, Wide(server_.Url("/ie-ops")));
  ASSERT_NE(body, nullptr);
  Page* page = body->GetOwner();
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page); }));
  for (PageOperation operation : {PageOperation::kZoom, PageOperation::kFind, PageOperation::kSaveAsPdf,
                                  PageOperation::kSaveSource, PageOperation::kPrint, PageOperation::kPicture}) {
    EXPECT_TRUE(body->Supports(operation));
  }
  body->ZoomIn();
  EXPECT_NEAR(body->Control()->ZoomFactor(), ZoomLevel::Factor(ZoomLevel::kStep), 1e-6);
  body->ZoomOut();
  EXPECT_NEAR(body->Control()->ZoomFactor(), 1.0, 1e-6);
  body->FindNext(u"pear");
  EXPECT_EQ(body->Control()->page()->selectedText(), QStringLiteral("pear"));

  const QString source = QString::fromStdString((root_->path() / "ie.html").string());
  const QString pdf = QString::fromStdString((root_->path() / "ie.pdf").string());
  std::vector<bool> results;
  body->SaveSource(Wide(source), [&](bool ok) { results.push_back(ok); });
  body->SaveAsPdf(Wide(pdf), [&](bool ok) { results.push_back(ok); });
  body->SaveSource(Wide(QString::fromStdString((root_->path() / "no" / "x.html").string())),
                   [&](bool ok) { results.push_back(ok); });
  QImage picture;
  body->TakePicture([&](const QImage& image) { picture = image; });
  EXPECT_EQ(results, (std::vector<bool>{true, true, false}));
  QFile saved(source);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().contains("apple pear apple"));
  QFile printed(pdf);
  ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
  EXPECT_TRUE(printed.readAll().startsWith("%PDF-"));
  EXPECT_FALSE(picture.isNull());
}

TEST_F(BodiesTest, NewWindowLinkWithPlainClickOpensASelectedNewPage) {
  server_.Route("/blank-link", Html("<html><body style=\"margin:0\"><a href=\"/opened\" target=\"_blank\" "
                                    "style=\"display:block;width:400px;height:300px;background:#8ac\">new</a>"
                                    "</body></html>"));
  server_.Route("/opened", Html("<html><head><title>Opened</title></head><body>opened</body></html>"));
  Page* page = OpenChromium("/blank-link");
  ASSERT_NE(page, nullptr);
  QWidget* target = InputTarget(page);
  ASSERT_NE(target, nullptr);

  events_.clear();
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 2 && server_.CountFor("/opened") > 0; }));
  ASSERT_EQ(AddedPages().size(), 1u);
  Page* opened = AddedPages()[0];
  // A new foreground tab: the new page takes the selection, the old one stays as it was.
  EXPECT_EQ(host_->pages.Current(), opened);
  EXPECT_EQ(host_->pages.IndexOf(opened), 1);
  EXPECT_TRUE(Pump([&] { return opened->GetTitle() == u"Opened"; }));
  EXPECT_EQ(opened->GetLoadedUrl(), Wide(server_.Url("/opened")));
  EXPECT_EQ(page->GetLoadedUrl(), Wide(server_.Url("/blank-link")));
  EXPECT_TRUE(CefBody(opened)->GetWindow()->isVisible());
  EXPECT_FALSE(CefBody(page)->GetWindow()->isVisible());
}

TEST_F(BodiesTest, NewWindowOfACompatibilityPageOpensACompatibilityTab) {
  server_.Route("/ie-opener", Html("<html><body style=\"margin:0\"><a id=\"link\" href=\"/ie-child\" "
                                   "target=\"_blank\">new</a></body></html>"));
  server_.Route("/ie-child", Html("<html><head><title>兼容子页</title></head><body>child</body></html>"));
  server_.Route("/ie-scripted", Html("<html><head><title>脚本窗口</title></head><body>scripted</body></html>"));
  TabIeBody* body = CreateIeBody(factory_.ieEnvironment, Wide(server_.Url("/ie-opener")));
  ASSERT_NE(body, nullptr);
  Page* opener = body->GetOwner();
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(opener); }));

  events_.clear();
  body->Control()->page()->mainFrame()->evaluateJavaScript(QStringLiteral("document.getElementById('link').click();"));
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 2 && server_.CountFor("/ie-child") > 0; }));
  Page* child = host_->pages.PageAt(1);
  EXPECT_EQ(child->GetEngineType(), Page::kEngineIe);
  EXPECT_TRUE(Pump([&] { return child->GetTitle() == u"兼容子页"; }));
  EXPECT_EQ(child->GetLoadedUrl(), Wide(server_.Url("/ie-child")));

  // A scripted window.open goes the same way; no Chromium page and no hand-over.
  body->Control()->page()->mainFrame()->evaluateJavaScript(QStringLiteral("window.open('/ie-scripted');"));
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 3 && server_.CountFor("/ie-scripted") > 0; }));
  EXPECT_EQ(host_->pages.PageAt(2)->GetEngineType(), Page::kEngineIe);
  EXPECT_TRUE(Pump([&] { return host_->pages.PageAt(2)->GetTitle() == u"脚本窗口"; }));
  Settle();
  EXPECT_TRUE(AddedPages().empty());
  EXPECT_EQ(mainWindow_.Count(MainWindowMessages::kOpenCompatibilityTab), 0);
  EXPECT_EQ(opener->GetLoadedUrl(), Wide(server_.Url("/ie-opener")));
}

// Background tabs asleep after a (shortened) delay: a Chromium page discarded by the
// engine and a compatibility page let go come back on selection with their address
// and history; a page typed into and a pinned one stay awake; a restored tab without
// a body loads only when selected.
TEST_F(BodiesTest, SleepingAndRestoredPagesLoadOnSelectionWithTheirHistory) {
  ScopedEnv fast(SleepingTabsSetting::kDelaySecondsVariable, "1");
  for (const char* path : {"/one", "/two", "/pinned", "/front", "/ie-one", "/ie-two", "/restored"}) {
    server_.Route(path, Html(QByteArray("<html><head><title>") + path + "</title></head><body>page</body></html>"));
  }
  server_.Route("/form", Html("<html><body style=\"margin:0\"><textarea id=\"text\" "
                              "style=\"width:400px;height:200px\"></textarea></body></html>"));
  Page* history = OpenChromium("/one");
  ASSERT_NE(history, nullptr);
  history->Navigate(Wide(server_.Url("/two")));
  ASSERT_TRUE(Pump([&] { return history->History().Count() == 2 && !history->IsLoading(); }));
  Page* form = OpenChromium("/form");
  ASSERT_NE(form, nullptr);
  QWidget* input = InputTarget(form);
  ASSERT_NE(input, nullptr);
  QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  QTest::keyClicks(input, "unsent");
  Page* pinned = OpenChromium("/pinned");
  ASSERT_NE(pinned, nullptr);
  host_->pages.PinPage(pinned, true);
  TabIeBody* ieBody = CreateIeBody(factory_.ieEnvironment, Wide(server_.Url("/ie-one")));
  ASSERT_NE(ieBody, nullptr);
  Page* compat = ieBody->GetOwner();
  ASSERT_TRUE(Pump([&] { return compat->History().Count() == 1 && !compat->IsLoading(); }));
  compat->Navigate(Wide(server_.Url("/ie-two")));
  ASSERT_TRUE(Pump([&] { return compat->History().Count() == 2 && server_.CountFor("/ie-two") == 1; }));
  Page* front = OpenChromium("/front");
  ASSERT_NE(front, nullptr);
  Page* restored = host_->pages.AddUnloadedPage(Page::kEngineChromium, Wide(server_.Url("/restored")), u"Saved", 0);
  EXPECT_EQ(host_->pages.Current(), front);
  EXPECT_EQ(restored->GetTab()->GetTitle(), QStringLiteral("Saved"));

  TabSleeper sleeper([this] { return std::vector<Pages*>{&host_->pages}; });
  ASSERT_TRUE(Pump([&] {
    sleeper.Check();
    return history->RestState() == BodyRest::kDiscarded && compat->Body() == nullptr;
  }, 30000));
  EXPECT_NE(history->Body(), nullptr) << "a Chromium page is discarded by the engine, its body kept";
  Settle(1500);
  sleeper.Check();
  Settle(500);
  EXPECT_EQ(form->RestState(), BodyRest::kActive) << "typed into";
  EXPECT_EQ(pinned->RestState(), BodyRest::kActive);
  EXPECT_EQ(front->RestState(), BodyRest::kActive);
  EXPECT_EQ(compat->GetDisplayUrl(), Wide(server_.Url("/ie-two")));
  EXPECT_EQ(server_.CountFor("/restored"), 0);

  // Selected: each loads its current address again, and back goes where it went.
  const struct {
    Page* page;
    const char* current;
    const char* back;
  } wakes[] = {{history, "/two", "/one"}, {compat, "/ie-two", "/ie-one"}};
  for (const auto& wake : wakes) {
    const int served = server_.CountFor(wake.current);
    const int servedBack = server_.CountFor(wake.back);
    host_->pages.SelectPage(wake.page);
    ASSERT_TRUE(Pump([&] { return server_.CountFor(wake.current) > served && !wake.page->IsLoading(); })) << wake.current;
    EXPECT_EQ(wake.page->RestState(), BodyRest::kActive) << wake.current;
    EXPECT_EQ(wake.page->GetDisplayUrl(), Wide(server_.Url(wake.current)));
    ASSERT_TRUE(wake.page->History().CanGoBack()) << wake.current;
    wake.page->GoBack();
    EXPECT_TRUE(Pump([&] { return server_.CountFor(wake.back) > servedBack; })) << wake.back;
    EXPECT_EQ(wake.page->GetDisplayUrl(), Wide(server_.Url(wake.back)));
  }
  EXPECT_EQ(server_.CountFor("/restored"), 0);
  host_->pages.SelectPage(restored);
  ASSERT_NE(restored->Body(), nullptr);
  EXPECT_TRUE(Pump([&] { return restored->GetTitle() == u"/restored"; }));
  EXPECT_EQ(server_.CountFor("/restored"), 1);
  EXPECT_EQ(restored->History().Count(), 1);
}

}  // namespace
}  // namespace tarvo::test
