#include <QNetworkProxy>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineSettings>
#include <map>
#include <thread>

#include "engines/cef_fixture.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/cef_request.h"
#include "engines/webengine/cef_task.h"
#include "engines/webengine/chromium_release.h"
#include "engines/webengine/display_compositing.h"
#include "engines/webengine/engine_context.h"
#include "engines/webengine/engine_page.h"
#include "engines/webengine/web_app.h"
#include "support/temp_dir.h"
#include "url/url_encoding.h"

namespace tarvo::test {
namespace {

// Browsers, navigation and display callbacks of the Chromium layer against pages
// served on loopback.
using CefNavigationTest = CefFixture;

TEST_F(CefNavigationTest, CreationIsAnnouncedLaterAndPrecedesTheFirstNavigation) {
  CefWindowInfo info;
  info.SetAsChild(&parent_, 0, 0, 640, 480);
  info.style = 0x56010000;
  const QString url = server_.Url("/basic.html");
  ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, client_, url.toStdU16String(), CefBrowserSettings{}, nullptr));
  EXPECT_TRUE(client_->created.empty()) << "creation must be announced from the event loop";
  ASSERT_TRUE(WaitFor([&] { return !client_->created.empty(); }));
  EXPECT_TRUE(client_->navigations.empty()) << "OnAfterCreated comes before the first navigation";
  CefRefPtr<CefBrowser> browser = client_->created.front();
  ASSERT_TRUE(WaitForLoad(browser));

  EXPECT_GE(browser->GetIdentifier(), 1);
  EXPECT_EQ(browser->GetHost()->GetWindowHandle()->parentWidget(), &parent_);
  EXPECT_TRUE(browser->GetHost()->GetWindowHandle()->isVisible());
  EXPECT_EQ(QString::fromStdU16String(browser->GetMainFrame()->GetURL()), url);
  // Without headers of the client's, the locale is the Accept-Language.
  EXPECT_TRUE(server_.LastHeader("/basic.html", "Accept-Language").startsWith("zh-CN"));
  ASSERT_FALSE(client_->navigations.empty());
  EXPECT_TRUE(client_->navigations.front().main_frame);
  EXPECT_FALSE(client_->navigations.front().redirect);
  EXPECT_EQ(client_->loading.front(), std::make_pair(browser->GetIdentifier(), true));
  EXPECT_EQ(client_->loading.back(), std::make_pair(browser->GetIdentifier(), false));
  ASSERT_TRUE(WaitFor([&] { return !client_->titles.empty() && client_->titles.back() == u"Basic page"; }));
}

TEST_F(CefNavigationTest, CancelledNavigationsLoadNothing) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  client_->cancel_navigation = [](const CefString& url) { return url.find(u"child") != CefString::npos; };

  // A cancelled main-frame navigation leaves the page where it was.
  browser->GetMainFrame()->LoadURL(server_.Url("/child.html").toStdU16String());
  ASSERT_TRUE(WaitFor([&] { return client_->navigations.size() >= 2; }));
  QTest::qWait(300);
  EXPECT_EQ(server_.CountFor("/child.html"), 0);
  EXPECT_EQ(QString::fromStdU16String(browser->GetMainFrame()->GetURL()), server_.Url("/basic.html"));

  // A cancelled sub-frame is not fetched while its parent page loads.
  const size_t mark = client_->loading.size();
  browser->GetMainFrame()->LoadURL(server_.Url("/frames.html").toStdU16String());
  ASSERT_TRUE(WaitForLoad(browser, mark));
  EXPECT_EQ(server_.CountFor("/frames.html"), 1);
  EXPECT_EQ(server_.CountFor("/child.html"), 0);
}

TEST_F(CefNavigationTest, EveryRequestCarriesTheHeadersTheClientAdds) {
  client_->edit_headers = [](CefRequest::HeaderMap& headers) {
    headers.insert({u"Accept-Language", u"zh-CN,zh;q=0.9"});
    headers.insert({u"X-Tarvo", u"one"});
    headers.insert({u"X-Tarvo", u"two"});
    // A value with a line break would splice a header of its own into the request.
    headers.insert({u"X-Injected", u"a\r\nX-Evil: 1"});
  };
  client_->block_resource = [](const CefString& url) { return url.find(u"pixel.png") != CefString::npos; };
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/menu.html"));
  ASSERT_NE(browser, nullptr);

  EXPECT_EQ(server_.LastHeader("/menu.html", "Accept-Language"), "zh-CN,zh;q=0.9");
  EXPECT_EQ(server_.LastHeader("/menu.html", "X-Tarvo"), "one, two");
  EXPECT_TRUE(server_.LastHeader("/menu.html", "X-Injected").isEmpty());
  EXPECT_TRUE(server_.LastHeader("/menu.html", "X-Evil").isEmpty());
  // The engine's own agent, naming its Chromium as a desktop Chrome would.
  const QByteArray agent = server_.LastHeader("/menu.html", "User-Agent");
  EXPECT_TRUE(agent.contains(QByteArray(" Chrome/") + QByteArray::number(ChromiumRelease::Major()) + '.')) << agent.toStdString();
  EXPECT_FALSE(agent.contains("QtWebEngine")) << agent.toStdString();
  EXPECT_EQ(server_.CountFor("/pixel.png"), 0) << "a cancelled resource is never requested";
  const bool saw_image = std::any_of(client_->resource_urls.begin(), client_->resource_urls.end(),
                                     [](const CefString& url) { return url.find(u"pixel.png") != CefString::npos; });
  EXPECT_TRUE(saw_image);
}

// The syntax, built-ins and CSS that current sites use untranspiled. Each case names
// the first Chromium that has it: every case up to the engine's release must work; a
// later one is reported as not supported by this release, not as a failure.
TEST_F(CefNavigationTest, ModernPagesRunAsTheirChromiumReleaseAllows) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/modern.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Evaluate(browser, "String(window.modernDone)") == "true"; }));
  const QJsonObject cases =
      QJsonDocument::fromJson(Evaluate(browser, "JSON.stringify(window.modern)").toUtf8()).object();
  const int release = ChromiumRelease::Major();
  int works = 0;
  QStringList unsupported;
  for (auto it = cases.begin(); it != cases.end(); ++it) {
    const QJsonObject result = it.value().toObject();
    if (result.value("since").toInt() > release) {
      unsupported << it.key();
      continue;
    }
    EXPECT_TRUE(result.value("ok").toBool()) << it.key().toStdString() << " " << result.value("error").toString().toStdString();
    works += result.value("ok").toBool() ? 1 : 0;
  }
  EXPECT_GE(cases.size(), 40) << "every case reported";
  std::printf("Chromium %d: %d of %lld modern cases work; not in this release: %s\n", release, works,
              static_cast<long long>(cases.size()), qPrintable(unsupported.join(QStringLiteral(", "))));
}

// The browser's start page reads its own style sheet and picture beside it; any other
// page opened from a file reads no local file, not even one beside it.
TEST_F(CefNavigationTest, OnlyTheStartPageReadsTheFilesBesideIt) {
  const QString readsItsFiles = QStringLiteral(
      "String(document.querySelector('img').naturalWidth > 0 && document.styleSheets.length > 0 && "
      "document.styleSheets[0].cssRules.length > 0)");
  CefRefPtr<CefBrowser> start = Open(QString::fromStdU16String(GetHomePageUrl()));
  ASSERT_NE(start, nullptr);
  EXPECT_TRUE(WaitFor([&] { return Evaluate(start, readsItsFiles) == "true"; }, 10000)) << "the start page lost its files";

  TempDir folder;
  folder.WriteFile("home_logo.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'/>");
  folder.WriteFile("home.css", "body { color: red; }");
  const auto saved = folder.WriteFile(
      "home.html", "<html><head><link rel='stylesheet' href='home.css'></head><body><img src='home_logo.svg'></body></html>");
  CefRefPtr<CefBrowser> other = Open(QUrl::fromLocalFile(QString::fromStdString(saved.string())).toString());
  ASSERT_NE(other, nullptr);
  QTest::qWait(500);
  EXPECT_EQ(Evaluate(other, readsItsFiles), "false") << "a saved page read the files beside it";
}

TEST_F(CefNavigationTest, APopupTheClientSuppressesMakesNoBrowser) {
  client_->suppressed_dispositions = {WOD_NEW_POPUP};
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/popups.html"));
  ASSERT_NE(browser, nullptr);
  browser->page()->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);

  // window.open with features asks for a pop-up, which this client suppresses (the
  // script still gets a window object: the engine made it before asking).
  Evaluate(browser, "String(openPopup())");
  ASSERT_TRUE(WaitFor([&] { return !client_->popups.empty(); }));
  QTest::qWait(200);
  ASSERT_EQ(client_->popups.size(), 1U);
  EXPECT_EQ(client_->popups[0], WOD_NEW_POPUP);
  EXPECT_EQ(client_->created.size(), 1U);
}

TEST_F(CefNavigationTest, ClosingAsksDoCloseThenReportsBeforeClose) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  browser->GetHost()->CloseBrowser(false);
  browser->GetHost()->CloseBrowser(false);
  ASSERT_TRUE(WaitFor([&] { return !client_->closed.empty(); }));
  QTest::qWait(100);
  EXPECT_EQ(client_->closed, std::vector<int>{browser->GetIdentifier()});
  EXPECT_FALSE(browser->IsValid());
  EXPECT_EQ(browser->GetHost()->GetWindowHandle(), nullptr);
  EXPECT_FALSE(browser->GetMainFrame()->LoadURL(u"http://127.0.0.1/"));

  // A client that destroys the window itself is still told when it is gone.
  client_->destroy_window_itself = true;
  CefRefPtr<CefBrowser> second = Open(server_.Url("/basic.html"));
  ASSERT_NE(second, nullptr);
  second->GetHost()->CloseBrowser(false);
  ASSERT_TRUE(WaitFor([&] { return client_->closed.size() == 2; }));
  EXPECT_EQ(client_->closed.back(), second->GetIdentifier());
}

// Process start of the Chromium layer: sub-process command lines, the application's
// switches and the switches handed to the engine.
class SwitchRecorder : public WebApp {
 public:
  void OnBeforeCommandLineProcessing(const std::string& process_type, CefCommandLine& command_line) override {
    types.push_back(process_type);
    WebApp::OnBeforeCommandLineProcessing(process_type, command_line);
  }
  std::vector<std::string> types;
};

TEST(CefProcessTest, SubProcessCommandLinesStopAtOnceWithTheSameSwitches) {
  auto app = std::make_shared<SwitchRecorder>();
  for (const char* type : {"--type=renderer", "--type=gpu-process", "--type=ppapi"}) {
    const char* argv[] = {"tarvo-browser", type, "--lang=zh-CN"};
    EXPECT_EQ(CefExecuteProcess(CefMainArgs{3, const_cast<char**>(argv)}, app, nullptr), 0) << type;
  }
  EXPECT_EQ(app->types, (std::vector<std::string>{"renderer", "gpu-process", "ppapi"}));

  // The browser process itself carries on.
  const char* argv[] = {"tarvo-browser", "-url", "http://127.0.0.1/"};
  EXPECT_EQ(CefExecuteProcess(CefMainArgs{3, const_cast<char**>(argv)}, app, nullptr), -1);
  EXPECT_EQ(app->types.size(), 3U);
}

TEST(CefProcessTest, PagesAreDrawnInSoftwareOnlyWithoutAGpuAndWithoutTheUsersOwnChoice) {
  struct Row {
    std::map<std::string, std::string> environment;
    bool gpuDevice;
    bool software;
  };
  const std::vector<Row> rows = {
      {{}, false, true},
      {{}, true, false},
      {{{"QT_QPA_PLATFORM", "xcb"}}, false, true},
      {{{"QT_QPA_PLATFORM", "wayland"}}, false, false},
      {{{"QT_QUICK_BACKEND", ""}}, false, false},
      {{{"QMLSCENE_DEVICE", "softwarecontext"}}, false, false},
      {{{"QT_XCB_GL_INTEGRATION", "xcb_egl"}}, false, false},
      {{{"LIBGL_ALWAYS_SOFTWARE", "1"}}, true, true},
      {{{"LIBGL_ALWAYS_SOFTWARE", "0"}}, true, false},
  };
  for (const Row& row : rows) {
    const auto lookup = [&row](const char* name) -> const char* {
      const auto found = row.environment.find(name);
      return found == row.environment.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(DisplayCompositing::PrefersSoftware(lookup, row.gpuDevice), row.software)
        << (row.environment.empty() ? std::string("(nothing set)") : row.environment.begin()->first)
        << " gpu=" << row.gpuDevice;
  }
  // Whatever was chosen at start, programs the browser starts later get the
  // user's own environment.
  EXPECT_NE(qgetenv("QT_XCB_GL_INTEGRATION"), QByteArray("none"));
}

class CountingTask : public CefTask {
 public:
  void Execute() override { ++runs; }
  int runs = 0;
};

TEST(CefProcessTest, TasksPostedFromOtherThreadsRunOnTheEngineThread) {
  auto task = std::make_shared<CountingTask>();
  bool posted = false;
  std::thread worker([&] { posted = CefPostTask(TID_UI, task); });
  worker.join();
  EXPECT_TRUE(posted);
  EXPECT_EQ(task->runs, 0) << "a posted task runs later, from the event loop";
  EXPECT_TRUE(QTest::qWaitFor([&] { return task->runs == 1; }, 5000));
  EXPECT_FALSE(CefPostTask(TID_UI, nullptr));
}

}  // namespace
}  // namespace tarvo::test
