// The two engine bodies with real engines, as one suite: each behaviour the shell
// asks of a body runs against the Chromium body and the compatibility body, so an
// operation that works in one and not the other shows up here. What only one engine
// does (its own error pages, the Chromium client's redirect flags) follows.
#include <QFile>
#include <QImage>
#include <QScopeGuard>
#include <QTcpServer>
#include <QUrl>
#include <QWidget>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_frame.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/cef/web_client.h"
#include "engines/cef_test_environment.h"
#include "engines/ie/tab_ie_body.h"
#include "engines/tls_listener.h"
#include "shell/pages/page_channels.h"
#include "protect/domain_list.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "protect/protected_sites.h"
#include "shell/commands/main_window_commands.h"
#include "shell/commands/main_window_messages.h"
#include "shell/pages/bodies_fixture.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "session/sleeping_tabs_setting.h"
#include "session/windows/tab_sleeper.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "store/user_database.h"

namespace tarvo::test {
namespace {

enum class Engine { kChromium, kCompat };

class EngineBodiesTest : public BodiesTest, public ::testing::WithParamInterface<Engine> {
 protected:
  bool Chromium() const { return GetParam() == Engine::kChromium; }
  // Opens a page of the engine under test on a path of the test server, loaded.
  Page* Open(const QByteArray& path) {
    return Chromium() ? OpenChromium(path) : OpenCompat(QString::fromLatin1(path));
  }
  // Starts opening a page of the engine under test without waiting for it.
  void BeginOpening(const QByteArray& path) {
    const WString url = Wide(server_.Url(QString::fromLatin1(path)));
    if (Chromium()) {
      host_->pages.OpenUrlInNewTab(url);
    } else {
      CreateIeBody(factory_.ieEnvironment, url);
    }
  }
  // Clicks the element as a user would: the mouse inside a Chromium view; the
  // compatibility view is a window of its own toolkit, so its link is clicked from
  // the page.
  void Click(Page* page, const QString& id) {
    if (Chromium()) {
      QWidget* target = InputTarget(page);
      ASSERT_NE(target, nullptr);
      QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
    } else {
      Evaluate(page, QStringLiteral("document.getElementById('%1').click()").arg(id));
    }
  }
  // Where keys typed into the page go.
  QWidget* KeyTarget(Page* page) { return Chromium() ? InputTarget(page) : page->Body()->GetWindow(); }
};

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::kChromium ? "Chromium" : "Compatibility";
}

TEST_P(EngineBodiesTest, ReportsLoadingTitleAndTheAddressAfterARedirectAndKeepsLoadingStateBehindAnotherPage) {
  server_.Route("/start", Html("<html><head><title>Start</title></head><body>start</body></html>"));
  server_.Route("/framed", Html("<html><head><title>带框架的页面</title></head>"
                                "<body><iframe src=\"/inner\"></iframe></body></html>"));
  server_.Route("/inner", Html("<html><head><title>Inner</title></head><body>inner</body></html>"));
  server_.Redirect("/hop", "/framed");

  Page* page = Open("/start");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetEngineType(), Chromium() ? Page::kEngineChromium : Page::kEngineIe);
  ASSERT_EQ(host_->pages.Current(), page);

  events_.clear();
  page->Navigate(Wide(server_.Url("/framed")));
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page) && server_.CountFor("/inner") > 0; }));
  ASSERT_TRUE(Pump([&] { return page->GetTitle() == u"带框架的页面"; }));
  Settle();
  // The frame's own load is not the page's.
  const auto redirects = EventsFor(page, PageChannels::kTempRedirect.Key());
  ASSERT_FALSE(redirects.empty());
  for (const BusEvent& event : redirects) {
    EXPECT_EQ(event.text, Wide(server_.Url("/framed")));
    EXPECT_EQ(event.flag, 0);
  }
  EXPECT_EQ(EventsFor(page, PageChannels::kSetTitle.Key()).back().text, u"带框架的页面");
  EXPECT_EQ(page->GetLoadedUrl(), Wide(server_.Url("/framed")));
  EXPECT_FALSE(page->IsLoading());

  // A server redirect ends on its target. The Chromium client reports the hop too,
  // the target flagged.
  events_.clear();
  page->Navigate(Wide(server_.Url("/hop")));
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page); }));
  Settle();
  EXPECT_EQ(page->GetLoadedUrl(), Wide(server_.Url("/framed")));
  const auto hops = EventsFor(page, PageChannels::kTempRedirect.Key());
  ASSERT_FALSE(hops.empty());
  EXPECT_EQ(hops.back().text, Wide(server_.Url("/framed")));
  if (Chromium()) {
    ASSERT_EQ(hops.size(), 2u);
    EXPECT_EQ(hops[0].text, Wide(server_.Url("/hop")));
    EXPECT_EQ(hops[0].flag, 0);
    EXPECT_EQ(hops[1].flag, 1);
  }

  // A page that finishes loading behind another one keeps that state, so when it is
  // selected again its toolbar shows it loaded.
  TestHttpServer::Response slow = Html("<html><body>" + QByteArray(2304, ' ') + "slow</body></html>");
  slow.chunk_size = 256;
  slow.chunk_interval_ms = 400;
  server_.Route("/slow", slow);
  server_.Route("/front", Html("<html><body>front</body></html>"));
  BeginOpening("/slow");
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 2 && host_->pages.Current()->IsLoading(); }));
  Page* slowPage = host_->pages.Current();
  ASSERT_NE(Open("/front"), nullptr);
  ASSERT_NE(host_->pages.Current(), slowPage);
  EXPECT_TRUE(Pump([&] { return !slowPage->IsLoading(); }));
}

// Page source (UTF-8, no byte-order mark), a PDF and a picture of the page; a folder
// that does not exist leaves no file and reports the failure.
TEST_P(EngineBodiesTest, WritesTheSourceAPdfAndAPictureOfThePage) {
  const QByteArray source =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>源码</title></head>"
      "<body style=\"background:#cde\"><p>第一行\n第二行 &amp; \"引号\"</p></body></html>";
  server_.Route("/source", Html(source));
  Page* page = Open("/source");
  ASSERT_NE(page, nullptr);
  ITabBody* body = page->Body();
  for (PageOperation operation : {PageOperation::kZoom, PageOperation::kFind, PageOperation::kSaveAsPdf,
                                  PageOperation::kSaveSource, PageOperation::kPrint, PageOperation::kPicture}) {
    EXPECT_TRUE(body->Supports(operation));
  }

  const QString sourcePath = QString::fromStdString((root_->path() / "source.html").string());
  const QString pdfPath = QString::fromStdString((root_->path() / "page.pdf").string());
  const QString missing = QString::fromStdString((root_->path() / "no" / "such" / "x").string());
  for (const QString& path : {sourcePath, pdfPath}) QFile::remove(path);
  std::vector<int> answers(4, 0);
  auto answer = [&answers](size_t index) { return [&answers, index](bool ok) { answers[index] = ok ? 1 : -1; }; };
  body->SaveSource(Wide(sourcePath), answer(0));
  body->SaveSource(Wide(missing + ".html"), answer(1));
  body->SaveAsPdf(Wide(pdfPath), answer(2));
  body->SaveAsPdf(Wide(missing + ".pdf"), answer(3));
  ASSERT_TRUE(Pump([&] { return std::count(answers.begin(), answers.end(), 0) == 0; }, 30000));
  EXPECT_EQ(answers, (std::vector<int>{1, -1, 1, -1}));
  EXPECT_FALSE(QFile::exists(missing + ".html"));
  EXPECT_FALSE(QFile::exists(missing + ".pdf"));

  QFile saved(sourcePath);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray text = saved.readAll();
  EXPECT_FALSE(text.startsWith("\xEF\xBB\xBF"));
  EXPECT_FALSE(text.contains("\r\n"));
  EXPECT_TRUE(text.contains("第一行\n第二行 &amp; \"引号\"")) << text.toStdString();
  EXPECT_TRUE(!Chromium() || text == source) << text.toStdString();

  QFile printed(pdfPath);
  ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
  EXPECT_TRUE(printed.readAll().startsWith("%PDF-"));

  // The picture shows the page's own background (once the page has been drawn).
  QImage picture;
  body->TakePicture([&](const QImage& image) { picture = image; });
  ASSERT_TRUE(Pump([&] { return !picture.isNull(); }));
  EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() - 5), QColor(0xcc, 0xdd, 0xee));
}

// A link to a new window and a window the page opens by script become new pages of
// the same engine, the new page selected.
TEST_P(EngineBodiesTest, NewWindowsOfAPageOpenAsTabsOfTheSameEngine) {
  server_.Route("/opener", Html("<html><body style=\"margin:0\"><a id=\"link\" href=\"/opened\" target=\"_blank\" "
                                "style=\"display:block;width:400px;height:300px;background:#8ac\">new</a>"
                                "</body></html>"));
  server_.Route("/opened", Html("<html><head><title>Opened</title></head><body>opened</body></html>"));
  server_.Route("/scripted", Html("<html><head><title>脚本窗口</title></head><body>scripted</body></html>"));
  Page* opener = Open("/opener");
  ASSERT_NE(opener, nullptr);
  const int engine = opener->GetEngineType();

  Click(opener, QStringLiteral("link"));
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 2 && server_.CountFor("/opened") > 0; }));
  Page* opened = host_->pages.PageAt(1);
  EXPECT_EQ(opened->GetEngineType(), engine);
  EXPECT_EQ(host_->pages.Current(), opened);
  EXPECT_TRUE(Pump([&] { return opened->GetTitle() == u"Opened"; }));
  EXPECT_EQ(opened->GetLoadedUrl(), Wide(server_.Url("/opened")));
  EXPECT_EQ(opener->GetLoadedUrl(), Wide(server_.Url("/opener")));
  EXPECT_TRUE(opened->Body()->GetWindow()->isVisible());
  EXPECT_FALSE(opener->Body()->GetWindow()->isVisible());

  // A page the compatibility page opens may script its opener; the Chromium engine
  // opens scripted windows only on a user's gesture.
  if (!Chromium()) {
    Evaluate(opener, QStringLiteral("window.open('/scripted') !== null"));
    ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 3 && server_.CountFor("/scripted") > 0; }));
    EXPECT_EQ(host_->pages.PageAt(2)->GetEngineType(), engine);
    EXPECT_TRUE(Pump([&] { return host_->pages.PageAt(2)->GetTitle() == u"脚本窗口"; }));
    EXPECT_EQ(host_->pages.Count(), 3);  // no second tab for the same window
  }
}

// A page served over TLS with a certificate nobody trusts loads only where the
// protected-site list names the address as a mirror: same scheme, host and port.
TEST_P(EngineBodiesTest, ABadCertificateIsAcceptedForAListedMirrorOnly) {
  TestHttpServer tls{QString(), std::unique_ptr<QTcpServer>(new TlsListener)};
  ASSERT_TRUE(tls.listening());
  tls.Route("/mirror", Html("<html><head><title>镜像</title></head><body id=\"mirror\">mirror</body></html>"));
  TestHttpServer other{QString(), std::unique_ptr<QTcpServer>(new TlsListener)};
  ASSERT_TRUE(other.listening());
  other.Route("/mirror", Html("<html><head><title>镜像</title></head><body id=\"mirror\">mirror</body></html>"));
  // The mirror is named by another host than the test pages' own, which would
  // otherwise count as the protected site's and open in the other engine.
  const QString mirror = QString(tls.Url("/")).replace(QLatin1String("127.0.0.1"), QLatin1String("localhost"));
  // A site of the browser's own scheme opens in the Chromium engine, any other in
  // the compatibility engine.
  SettingsRegistry& settings = SettingsRegistry::Instance();
  const WString scheme = settings.Get(SettingsKeys::kUserCentre);
  settings.Set(SettingsKeys::kUserCentre, u"tarvo://");
  ProtectedSites::Site site;
  site.id = "7";
  site.sourceUrl = Chromium() ? "tarvo://bank.example.cn/" : "https://bank.example.cn/";
  site.targetUrl = mirror.toStdString();
  ASSERT_EQ(ProtectedSites(ShellTestData::Database()).Add(site), 0);
  const auto forget = qScopeGuard([&settings, scheme] {
    settings.Set(SettingsKeys::kUserCentre, scheme);
    CefTestEnvironment::Instance().mirror_for_certificate_error = nullptr;
    ShellTestData::Database().Execute("delete from domainlist where id = ?", {std::string("7")});
  });
  DomainList list(ShellTestData::Database());
  auto& environment = CefTestEnvironment::Instance();
  environment.mirror_for_certificate_error = [&list](const std::string& url) {
    WString mirror;
    return list.FindTarget(Utf8ToWide(url), mirror) ? WideToUtf8(mirror) : std::string();
  };
  server_.Route("/before", Html("<html><body>before</body></html>"));
  Page* page = Open("/before");
  ASSERT_NE(page, nullptr);
  auto shows = [&] { return Evaluate(page, QStringLiteral("document.getElementById('mirror') !== null")); };

  // The same path on another port is not the mirror.
  page->Navigate(Wide(QString(other.Url("/mirror")).replace(QLatin1String("127.0.0.1"), QLatin1String("localhost"))));
  Settle(3000);
  EXPECT_EQ(shows(), QStringLiteral("false"));
  EXPECT_EQ(other.CountFor("/mirror"), 0);

  page->Navigate(Wide(mirror + QStringLiteral("mirror")));
  EXPECT_TRUE(Pump([&] { return shows() == QStringLiteral("true"); }, 20000));
  EXPECT_TRUE(Pump([&] { return page->GetTitle() == u"镜像"; }));
}

// The browser's keys pressed inside a page reach the main window as one command
// each (the page still gets them); what the user types reaches the page's fields.
TEST_P(EngineBodiesTest, TheBrowsersKeysActInsideThePageAndTypingReachesIt) {
  server_.Route("/form", Html("<html><body><input id=\"field\"><textarea id=\"area\"></textarea></body></html>"));
  Page* page = Open("/form");
  ASSERT_NE(page, nullptr);
  QWidget* target = KeyTarget(page);
  ASSERT_NE(target, nullptr);
  ASSERT_TRUE(Pump([&] { return target->isVisible(); }));
  target->setFocus();
  ClickAsAUser(target, QPoint(20, 12));
  Evaluate(page, QStringLiteral("document.getElementById('field').focus()"));
  TypeAsAUser(target, QStringLiteral("Abc 1"));
  EXPECT_TRUE(Pump([&] { return Evaluate(page, QStringLiteral("document.getElementById('field').value")) ==
                                QStringLiteral("Abc 1"); }));
  // Tab moves between the page's own fields; Enter makes a new line in a text area.
  PressAsAUser(target, Qt::Key_Tab);
  TypeAsAUser(target, QStringLiteral("x"));
  PressAsAUser(target, Qt::Key_Return);
  TypeAsAUser(target, QStringLiteral("y"));
  EXPECT_TRUE(Pump([&] { return Evaluate(page, QStringLiteral("document.getElementById('area').value")) ==
                                QStringLiteral("x\ny"); }));

  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    unsigned command;
  } strokes[] = {{Qt::Key_W, Qt::ControlModifier, Commands::kCloseTab},
                 {Qt::Key_F, Qt::ControlModifier, Commands::kFindInPage},
                 {Qt::Key_T, Qt::ControlModifier, Commands::kOpenHome},
                 {Qt::Key_L, Qt::ControlModifier, Commands::kFocusAddressBar},
                 {Qt::Key_H, Qt::ControlModifier, Commands::kHideFavoriteBar},
                 {Qt::Key_F11, Qt::NoModifier, Commands::kToggleFullScreen},
                 {Qt::Key_Escape, Qt::NoModifier, Commands::kLeaveFullScreen},
                 {Qt::Key_F5, Qt::NoModifier, Commands::kReload}};
  for (const auto& stroke : strokes) {
    mainWindow_.messages.clear();
    QTest::keyClick(target, stroke.key, stroke.modifiers);
    Settle(200);
    EXPECT_EQ(mainWindow_.CommandCount(stroke.command), 1) << stroke.command;
    EXPECT_EQ(mainWindow_.Count(DuiLib::WM_COMMAND), 1) << stroke.command;
  }
  mainWindow_.messages.clear();
  QTest::keyClick(target, Qt::Key_W);
  QTest::keyClick(target, Qt::Key_H, Qt::AltModifier);
  Settle(200);
  EXPECT_EQ(mainWindow_.Count(DuiLib::WM_COMMAND), 0);
}

// An HTML file saved from the web and opened from the download list reads no other
// local file, neither in a new tab nor when it comes back as a restored tab.
TEST_P(EngineBodiesTest, AFilePageCannotReadOtherLocalFiles) {
  TempDir folder;
  folder.WriteFile("secret.txt", "the user's own");
  const auto saved = folder.WriteFile(
      "saved.html",
      "<html><head><title>waiting</title></head><body>"
      "<iframe src=\"secret.txt\" onload=\"try { document.title = 'read: ' + "
      "this.contentDocument.body.innerText; } catch (e) { document.title = 'refused'; }\"></iframe>"
      "</body></html>");
  const WString url = Wide(QUrl::fromLocalFile(QString::fromStdString(saved.string())).toString());
  const auto answered = [](Page* page) { return page->GetTitle() == u"refused" || page->GetTitle().starts_with(u"read"); };
  if (Chromium()) {
    host_->pages.OpenUrlInNewTab(url);
  } else {
    CreateIeBody(factory_.ieEnvironment, url);
  }
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 1 && answered(host_->pages.PageAt(0)); }));
  EXPECT_EQ(host_->pages.PageAt(0)->GetTitle(), u"refused");

  Page* restored = host_->pages.AddUnloadedPage(Chromium() ? Page::kEngineChromium : Page::kEngineIe, url,
                                                u"Saved page", 0);
  host_->pages.SelectPage(restored);
  ASSERT_TRUE(Pump([&] { return answered(restored); }));
  EXPECT_EQ(restored->GetTitle(), u"refused");
}

INSTANTIATE_TEST_SUITE_P(BothEngines, EngineBodiesTest, ::testing::Values(Engine::kChromium, Engine::kCompat),
                         EngineName);

// A compatibility page whose view is made while another tab is selected (a tab the
// session restores behind the selected one, the engine loading late) stays behind it
// until its own tab is selected.
TEST_F(BodiesTest, ACompatibilityViewMadeBehindTheSelectedPageStaysHiddenUntilSelected) {
  server_.Route("/front", Html("<html><body>front</body></html>"));
  server_.Route("/behind", Html("<html><body>behind</body></html>"));
  Page* front = OpenChromium("/front");
  ASSERT_NE(front, nullptr);
  Page* behind = host_->pages.AddUnloadedPage(Page::kEngineIe, Wide(server_.Url("/behind")), u"Behind", 0);
  ASSERT_TRUE(CreateIeBodyFor(factory_.ieEnvironment, *behind));
  ASSERT_TRUE(Pump([&] { return server_.CountFor("/behind") == 1; }));
  Settle(300);
  ASSERT_EQ(host_->pages.Current(), front);
  EXPECT_FALSE(behind->Body()->GetWindow()->isVisible()) << "the compatibility view covers the selected page";
  EXPECT_TRUE(front->Body()->GetWindow()->isVisible());

  host_->pages.SelectPage(behind);
  EXPECT_TRUE(Pump([&] { return behind->Body()->GetWindow()->isVisible(); }));
}

TEST_F(BodiesTest, HostOfTheCompatibilityEngineNeverLoadsInChromium) {
  server_.Route("/leave", Html("<html><body>leave</body></html>"));
  server_.Route("/ie-only", Html("<html><body>ie</body></html>"));
  Page* page = OpenChromium("/leave");
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(ShellTestData::Database().Execute("insert into domain_type (domain, type) values (?, 2)",
                                             {std::string("localhost")}),
            0);

  // The list opens the compatibility tab itself; a recording factory keeps the
  // compatibility engine from loading the address, so the server counts Chromium's
  // requests only.
  RecordingFactory compatibility{host_->pages};
  host_->pages.SetBodyFactory(&compatibility);
  const QString ieUrl = QStringLiteral("http://localhost:%1/ie-only").arg(server_.port());
  events_.clear();
  CefBody(page)->GetBrowser()->GetMainFrame()->ExecuteJavaScript(
      Wide(QStringLiteral("location.href = '%1';").arg(ieUrl)), Wide(server_.Url("/leave")), 0);
  ASSERT_TRUE(Pump([&] { return !compatibility.ieUrls.empty(); }, 10000));
  EXPECT_EQ(compatibility.ieUrls, std::vector<WString>{Wide(ieUrl)});
  Settle(500);
  EXPECT_EQ(server_.CountFor("/ie-only"), 0);
  for (const BusEvent& event : EventsFor(page, PageChannels::kTempRedirect.Key())) {
    EXPECT_NE(event.text, Wide(ieUrl));
  }
  EXPECT_EQ(Wide(QString::fromStdU16String(CefBody(page)->GetBrowser()->GetMainFrame()->GetURL())),
            Wide(server_.Url("/leave")));
  host_->pages.SetBodyFactory(&factory_);
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
  ClickAsAUser(input, QPoint(100, 100));
  Evaluate(form, QStringLiteral("document.getElementById('text').focus()"));
  TypeAsAUser(input, QStringLiteral("unsent"));
  Page* pinned = OpenChromium("/pinned");
  ASSERT_NE(pinned, nullptr);
  host_->pages.PinPage(pinned, true);
  Page* compat = OpenCompat(QStringLiteral("/ie-one"));
  ASSERT_NE(compat, nullptr);
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
