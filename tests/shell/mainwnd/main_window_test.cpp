// The main window from the built skin package with the real engines, against pages
// served on loopback: start-up, the toolbar, search, find in page, saving, settings, a
// compatibility tab, crashed pages, a private window and closing. Screenshots land under
// <build>/test-artifacts/ui/.
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "account/account_state.h"
#include "account/account_task_queue.h"
#include "app/engine_body_factory.h"
#include "protect/windows/memory_picture_ui.h"
#include "app/feature_registrations.h"
#include "engines/cef/chromium_engine_port.h"
#include "engines/ie/compat_engine_port.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "preferences/browser_preferences.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_hooks.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/engine_page.h"
#include "engines/cef/tab_cef_body.h"
#include "shell/pages/login_form_events.h"
#include "passwords/password_keeper.h"
#include "history/browsing_data_cleaner.h"
#include "passwords/secret_service_keyring.h"
#include "engines/test_http_server.h"
#include "shell/addressbar/c_address_edit.h"
#include "shell/addressbar/c_address_edit_ui.h"
#include "bus/message_bus.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/mainwnd/page_file_commands.h"
#include "shell/windows/page_save_dialog.h"
#include "shell/pages/c_body_bar.h"
#include "session/windows/session_keeper.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "shell/pages/tab.h"
#include "store/info_records.h"
#include "store/search_records.h"
#include "store/user_database.h"
#include "protect/c_browser_url.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "shell/windows/message_box_answerer.h"
#include "shell/windows/shown_windows.h"
#include "ui/check_box_ui.h"
#include "ui/edit_ui.h"
#include "ui/resource_manager.h"
#include "ui/ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;
namespace fs = std::filesystem;

QByteArray PageWithTitle(const QByteArray& title, const QByteArray& body = "text") {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

WString Wide(const QString& text) { return text.toStdU16String(); }

// Kills the compatibility engine's page processes that this test program started (WebKit
// names them so; other programs running beside this one keep theirs), as a crash would.
int KillOwnCompatPageProcesses() {
  const auto parentOf = [](pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t end = line.rfind(')');  // the name in parentheses may hold spaces
    std::istringstream rest(end == std::string::npos ? std::string() : line.substr(end + 2));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    return parent;
  };
  int killed = 0;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream comm(entry.path() / "comm");
    std::string command;
    std::getline(comm, command);
    if (command.rfind("WebKitWebProces", 0) != 0) continue;  // the kernel keeps 15 letters
    const pid_t pid = static_cast<pid_t>(std::stol(name));
    pid_t ancestor = parentOf(pid);
    while (ancestor > 1 && ancestor != ::getpid()) ancestor = parentOf(ancestor);
    if (ancestor == ::getpid() && ::kill(pid, SIGKILL) == 0) ++killed;
  }
  return killed;
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new TempDir();
    configEnv_ = new ScopedEnv("XDG_CONFIG_HOME", (root_->path() / "config").string());
    server_ = new TestHttpServer();
    for (const char* title : {"Home", "A", "B", "Search"}) {
      server_->Route("/" + QByteArray(title).toLower(), {200, "text/html; charset=utf-8", PageWithTitle(title)});
    }
    server_->Route("/find", {200, "text/html; charset=utf-8",
                             PageWithTitle("Find", "<p>pear apple pear apple pear apple</p>")});
    TestHttpServer::Response slow{200, "text/html; charset=utf-8", PageWithTitle("Slow", QByteArray(4000, 'x'))};
    slow.chunk_size = 200;
    slow.chunk_interval_ms = 150;
    server_->Route("/slow", slow);

    auto& settings = SettingsRegistry::Instance();
    settings.Set(SettingsKeys::kHomePage, Wide(server_->Url("/home")));
    settings.Set(SettingsKeys::kNewPage, Wide(server_->Url("/home")));
    settings.Set(SettingsKeys::kLanguageFolder, Utf8ToWide(std::string(getenv("TARVO_SOURCE_DIR")) + "/lang/"));
    settings.Set(SettingsKeys::kRegistryKey, u"TarvoBrowserTest");
    settings.Set(SettingsKeys::kPictureFolder, Utf8ToWide((root_->path() / "picture").string() + "/"));
    settings.Set(SettingsKeys::kCookieFolder, Utf8ToWide((root_->path() / "cookie").string() + "/"));
    settings.Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");
    settings.Set(SettingsKeys::kApiUrlDev, u"http://127.0.0.1:2/");
    ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
    ASSERT_EQ(database_->OpenFile((root_->path() / "kx.dat").string()), 0);
    ASSERT_EQ(database_->Upgrade(), 0);
    CBrowserUrl::UseDatabase(*database_);
    dataCleaner_ = new BrowsingDataCleaner(*database_);
    // The default engine searches on loopback.
    ASSERT_EQ(database_->Execute("update searchengine set prefix = ?, suffix = '' where name = 'baidu'",
                                               {server_->Url("/search?q=").toStdString()}),
              0);
    MessageBus::Instance().Initialise();
  }

  void SetUp() override {
    ASSERT_TRUE(server_->listening());
    if (compatProfile_ == nullptr) {
      compatProfile_ = new ie::LazyCompatProfile(
          *compatEngine_, {QString::fromStdString((root_->path() / "Compat").string()), QString()});
    }
    windows_ = std::make_unique<BrowserWindows>(*account_, *database_);
    FeatureHooks hooks{*windows_, serviceSteps_, endSteps_, *enginePorts_, *account_, *loginForms_,
                       *passwords_, *dataCleaner_, *accountTasks_, *database_};
    FeatureRegistrations::RegisterAll(hooks);
    window_ = std::make_unique<MainDuiWnd>(*windows_, std::make_unique<EngineBodyFactory>(*compatProfile_, *loginForms_));
    window_->SetReadyCallback([this] { ++readyCalls_; });
  }

  void TearDown() override {
    // Closing ends the application's event loop, so it runs inside one, as in the
    // browser (an exit outside a running loop would end the next modal window's).
    if (window_->GetHWND() != 0 && window_->GetWidget()->isVisible()) {
      QTimer::singleShot(0, [this] { window_->SendMessage(WM_CLOSE); });
      EXPECT_EQ(QApplication::exec(), 0);
    }
    window_.reset();
    QTest::qWait(100);
  }

  // Creates the window on the start page and waits until that page has loaded and
  // the window has its working size.
  Page* Start() {
    if (!window_->CreateAndShow()) return nullptr;
    if (!QTest::qWaitFor([this] { return Loaded(window_->PageList().Current()) && readyCalls_ == 1; }, 20000)) {
      return nullptr;
    }
    // Pop-ups close when another window takes the focus: start from an active window.
    window_->GetWidget()->activateWindow();
    if (!QTest::qWaitForWindowActive(window_->GetWidget())) return nullptr;
    return window_->PageList().Current();
  }

  static bool Loaded(Page* page) { return page != nullptr && !page->IsLoading() && !page->GetDisplayUrl().empty(); }
  static bool Shows(Page* page, const QString& url) {
    return page != nullptr && !page->IsLoading() && page->GetDisplayUrl() == Wide(url);
  }
  // The start page, with or without the chosen search engine in its query (the
  // window's first page carries it; "home" and a last closed tab load it plain).
  static bool ShowsStartPage(Page* page) {
    if (page == nullptr || page->IsLoading()) return false;
    const WString home = Wide(server_->Url("/home"));
    const WString shown = page->GetDisplayUrl();
    return shown == home || shown.starts_with(home + u"?");
  }

  // Opens the main menu and clicks `entry`, which must be enabled; false when the menu
  // did not show or did not close.
  bool ChooseFromMainMenu(const char* entry) {
    window_->RunCommand(Commands::kShowMainMenu);
    WindowImplBase* menu = WaitForShown("KXMenuWnd");
    if (menu == nullptr) return false;
    EXPECT_TRUE(menu->FindControl(QString::fromLatin1(entry))->IsEnabled()) << entry;
    ClickControl(*menu, entry);
    return QTest::qWaitFor([] { return ShownWindowOf("KXMenuWnd") == nullptr; }, 3000);
  }

  bool Visible(const char* name) {
    CControlUI* control = window_->FindControl(QString::fromLatin1(name));
    return control != nullptr && control->IsVisible();
  }
  bool Enabled(const char* name) {
    CControlUI* control = window_->FindControl(QString::fromLatin1(name));
    return control != nullptr && control->IsEnabled();
  }

  std::unique_ptr<BrowserWindows> windows_;
  std::vector<ServiceStep> serviceSteps_;  // registered, never run here
  std::vector<std::function<void()>> endSteps_;
  std::unique_ptr<MainDuiWnd> window_;
  int readyCalls_ = 0;
  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};

  static inline TempDir* root_ = nullptr;
  static inline ScopedEnv* configEnv_ = nullptr;
  static inline TestHttpServer* server_ = nullptr;
  // Shared by every window, like the browser's.
  static inline AccountState* account_ = new AccountState();
  static inline UserDatabase* database_ = new UserDatabase();
  static inline LoginFormEvents* loginForms_ = new LoginFormEvents();
  static inline AccountTaskQueue* accountTasks_ = new AccountTaskQueue();
  static inline BrowsingDataCleaner* dataCleaner_ = nullptr;
  static inline PasswordKeeper* passwords_ =
      new PasswordKeeper(std::make_unique<SecretServiceKeyring>(SettingsRegistry::Instance().GetUtf8(SettingsKeys::kBrand)));
  static inline ie::CompatEngineLoader* compatEngine_ = new ie::CompatEngineLoader();
  static inline ie::LazyCompatProfile* compatProfile_ = nullptr;
  static inline const std::vector<IEnginePort*>* enginePorts_ =
      new std::vector<IEnginePort*>{new ChromiumEnginePort(*account_, *loginForms_), new CompatEnginePort(*compatEngine_, nullptr)};
};

// The window starts small with the start page already loading and takes its working
// size later; then the toolbar follows history and loading, the search field opens
// the chosen engine in a new tab and records the text, the find window searches the
// page both ways, and the main menu saves the page (a path it cannot write is reported).
TEST_F(MainWindowTest, StartsSmallThenToolbarSearchFindAndSavingFromTheMenuWork) {
  ASSERT_EQ(windows_->LastUsed(), window_.get());
  ASSERT_TRUE(window_->CreateAndShow());
  EXPECT_EQ(window_->GetWindowRect().size(), QSize(MainDuiWnd::kInitialWidth, MainDuiWnd::kInitialHeight));
  QWidget* pagesParent = window_->BodyBar()->GetWidget();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !pagesParent->findChildren<QWidget*>().isEmpty(); }, 1000));
  EXPECT_EQ(readyCalls_, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return readyCalls_ == 1; }, 5000));
  EXPECT_GT(window_->GetWindowRect().width(), MainDuiWnd::kInitialWidth);
  ASSERT_TRUE(QTest::qWaitFor([this] { return Loaded(window_->PageList().Current()); }, 20000));
  Page* page = window_->PageList().Current();
  EXPECT_TRUE(QTest::qWaitFor([&] { return page->GetTitle() == u"Home"; }, 5000));
  SaveScreenshot(*window_, QStringLiteral("mainwnd_loaded"));
  EXPECT_TRUE(skin_.Errors().empty()) << skin_.Errors().front().toStdString();
  window_->GetWidget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_->GetWidget()));

  EXPECT_FALSE(Enabled("back_btn"));
  page->Navigate(Wide(server_->Url("/a")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows(page, server_->Url("/a")); }, 20000));
  EXPECT_TRUE(Enabled("back_btn"));
  EXPECT_FALSE(Enabled("forward_btn"));
  ClickControl(*window_, "back_btn");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsStartPage(page); }, 20000));
  EXPECT_TRUE(Enabled("forward_btn"));
  EXPECT_FALSE(Enabled("back_btn"));
  page->Navigate(Wide(server_->Url("/slow")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Visible("stop_btn") && !Visible("refresh_btn"); }, 20000));
  ClickControl(*window_, "stop_btn");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Visible("refresh_btn") && !page->IsLoading(); }, 5000));
  ClickControl(*window_, "home_go");
  EXPECT_TRUE(QTest::qWaitFor([&] { return ShowsStartPage(page); }, 20000));

  QWidget* searchEdit = window_->FindControl<CEditUI>(QStringLiteral("SearchEdit"))->GetLineEdit();
  QTest::keyClicks(searchEdit, QStringLiteral("pears & apples"));
  QTest::keyClick(searchEdit, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return window_->PageList().Count() == 2 && Loaded(window_->PageList().Current()); }, 20000));
  // The engine shows the blanks decoded; the address is the same.
  EXPECT_EQ(QUrl(QString::fromStdU16String(window_->PageList().Current()->GetDisplayUrl())).toEncoded(),
            QUrl(server_->Url("/search?q=pears%20%26%20apples")).toEncoded());
  QueryTable rows;
  database_->Query("select searchtext from searchtext where searchtext = ?", {std::string("pears & apples")}, &rows);
  EXPECT_EQ(rows.rows.size(), 1u);

  // Ctrl+F pressed inside the page opens the find window over it. Backward from the
  // top wraps to the last of three matches, forward from there to the first.
  Page* found = window_->PageList().Current();
  auto* view = qobject_cast<QWebEngineView*>(found->Body()->GetWindow());
  ASSERT_NE(view, nullptr);
  std::vector<std::pair<int, int>> matches;  // (matches, active match) of each search that found some
  bool engineLoaded = false;  // the page may show the new address before the engine starts loading it
  QObject connections;         // ends both connections before what they write to
  QObject::connect(view->page(), &QWebEnginePage::findTextFinished, &connections,
                   [&](const QWebEngineFindTextResult& result) {
                     if (result.numberOfMatches() > 0) matches.emplace_back(result.numberOfMatches(), result.activeMatch());
                   });
  QObject::connect(view->page(), &QWebEnginePage::loadFinished, &connections,
                   [&](bool ok) { engineLoaded = engineLoaded || (ok && view->url() == QUrl(server_->Url("/find"))); });
  found->Navigate(Wide(server_->Url("/find")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return engineLoaded && Shows(found, server_->Url("/find")); }, 20000));
  bool findShown = false;
  QTimer::singleShot(100, [&] {
    WindowImplBase* find = WaitForShown("KXFindWnd");
    if (find == nullptr) return;
    findShown = true;
    QTest::keyClicks(find->FindControl<CEditUI>(QStringLiteral("find/find_edit"))->GetLineEdit(), QStringLiteral("apple"));
    ClickControl(*find, "find/back_btn");
    EXPECT_TRUE(QTest::qWaitFor([&] { return matches.size() == 1; }, 20000)) << "no answer to the backward search";
    ClickControl(*find, "find/next_btn");
    EXPECT_TRUE(QTest::qWaitFor([&] { return matches.size() == 2; }, 20000)) << "no answer to the forward search";
    find->Close();
  });
  view->setFocus();
  QTest::keyClick(view->focusProxy() != nullptr ? view->focusProxy() : view, Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return findShown && ShownWindowOf("KXFindWnd") == nullptr; }, 50000));
  EXPECT_EQ(matches, (std::vector<std::pair<int, int>>{{3, 3}, {3, 1}}));

  std::vector<QString> answers;
  const QString folder = QString::fromStdString(root_->path().string()) + "/";
  for (const char* name : {"page.pdf", "page.html", "page.png", "missing/page.pdf"}) answers.push_back(folder + name);
  window_->PageFiles()->SetSaveDialog(PageSaveDialog([&](QWidget*, const QString&, const QString&) {
    const QString answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }));
  MessageBoxAnswerer boxes;  // the message box of the failed save
  for (const char* entry : {"savepic_btn", "savefile_btn", "screenshot_btn", "savepic_btn"}) {
    ASSERT_TRUE(ChooseFromMainMenu(entry)) << entry;
  }
  auto size = [&](const char* name) { return QFileInfo(folder + name).size(); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return size("page.pdf") > 0 && size("page.html") > 0; }, 20000));
  EXPECT_TRUE(QImage(folder + "page.png").width() > 0);
  EXPECT_TRUE(answers.empty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.answered > 0; }, 20000));
  EXPECT_FALSE(QFile::exists(folder + "missing/page.pdf"));
}

TEST_F(MainWindowTest, SettingsFromBothMenuEntriesApplyEachChoiceAtOnceAndShowItNextTime) {
  ASSERT_NE(Start(), nullptr);
  auto fromMenu = [&](const char* entry) {
    return ChooseFromMainMenu(entry) ? WaitForShown("KXSettingsWnd") : nullptr;
  };
  WindowImplBase* settings = fromMenu("setting_btn");
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(fromMenu("option_btn"), settings) << "one window: the second entry raises it";
  auto selected = [&](const char* name) { return settings->FindControl<COptionUI>(QLatin1String(name))->IsSelected(); };
  const BrowserPreferences stored = BrowserPreferences::ForThisBrowser();

  ClickControl(*settings, "settings/restore");
  EXPECT_TRUE(stored.RestoreSession());
  ClickControl(*settings, "settings/sleep");
  EXPECT_FALSE(stored.SleepingTabs());
  ClickControl(*settings, "settings/sleep");
  EXPECT_TRUE(stored.SleepingTabs());
  QLineEdit* minutes = settings->FindControl<CEditUI>(QStringLiteral("settings/sleep_minutes"))->GetLineEdit();
  for (const char* text : {"25", "0"}) {
    QTest::mouseClick(minutes, Qt::LeftButton);
    QTest::keyClick(minutes, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(minutes, QString::fromLatin1(text));
  }
  QTest::keyClick(minutes, Qt::Key_Return);
  EXPECT_EQ(stored.SleepingTabsMinutes(), 25) << "no delay of 0";
  EXPECT_EQ(minutes->text(), "25") << "the field shows the stored delay again";
  ClickControl(*settings, "settings/exit_clean");
  EXPECT_TRUE(InfoRecords(*database_).GetExitClean());
  ClickControl(*settings, "settings/engine_sogou");
  EXPECT_EQ(SearchRecords(*database_).GetSearchEngine(), u"sogou");
  ClickControl(*settings, "settings/lang_china");
  EXPECT_EQ(LanguageManager::Instance().GetCurrentLanguage(), u"china");

  ClickControl(*settings, "settings/closebtn");
  ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindowOf("KXSettingsWnd") == nullptr; }, 3000));
  settings = fromMenu("option_btn");
  ASSERT_NE(settings, nullptr);
  for (const char* box : {"settings/restore", "settings/sleep", "settings/exit_clean"}) {
    EXPECT_TRUE(settings->FindControl<CCheckBoxUI>(QLatin1String(box))->GetCheck()) << box;
  }
  EXPECT_EQ(settings->FindControl(QStringLiteral("settings/sleep_minutes"))->GetText(), "25");
  EXPECT_TRUE(selected("settings/engine_sogou") && !selected("settings/engine_google"));
  EXPECT_TRUE(selected("settings/lang_china") && !selected("settings/lang_usa"));
  for (const char* name : {"settings/lang_usa", "settings/exit_clean", "settings/restore"}) ClickControl(*settings, name);
  EXPECT_EQ(LanguageManager::Instance().GetCurrentLanguage(), u"usa");
  QTest::keyClick(settings->GetWidget(), Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([] { return ShownWindowOf("KXSettingsWnd") == nullptr; }, 3000));
}

TEST_F(MainWindowTest, WithoutItsSkinTheWindowIsGivenUpInsteadOfCrashing) {
  auto& resources = DuiLib::CResourceManager::Instance();
  const QString skin = resources.GetResourcePath();
  TempDir empty;
  resources.SetResourcePath(QString::fromStdString(empty.path().string() + "/"));
  const bool created = window_->CreateAndShow();
  resources.SetResourcePath(skin);
  EXPECT_FALSE(created);
  EXPECT_EQ(window_->GetHWND(), 0);
}

// A page whose renderer dies (killed, as a crash or the out-of-memory killer would end
// it): the tab says so in its label and icon, the notice with its reload button takes
// the page's place, the address and history stay. A tab that died in the background
// loads again when selected, until its site's renderer has died three times within
// the minute. A compatibility page's process dying is shown alike.
TEST_F(MainWindowTest, APageWhoseRendererOrCompatibilityProcessDiesShowsTheCrashedNoticeAndLoadsAgain) {
  Page* front = Start();
  ASSERT_NE(front, nullptr);
  front->Navigate(Wide(server_->Url("/b")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows(front, server_->Url("/b")) && front->GetTitle() == u"B"; }, 20000));
  const auto killRenderer = [](Page* page) {
    auto* body = dynamic_cast<TabCefBody*>(page->Body());
    const qint64 pid = body != nullptr ? body->GetBrowser()->page()->renderProcessPid() : 0;
    return pid > 0 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
  };
  ASSERT_TRUE(killRenderer(front));
  ASSERT_TRUE(QTest::qWaitFor([&] { return front->IsCrashed(); }, 10000));
  QWidget* notice = front->CrashNotice();
  ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }, 2000));
  EXPECT_EQ(front->GetTab()->GetTitle(), "Crashed: B");
  EXPECT_TRUE(front->GetTab()->IconImages().contains("favicon_crashed"));
  EXPECT_EQ(front->GetDisplayUrl(), Wide(server_->Url("/b")));
  EXPECT_TRUE(Enabled("back_btn"));
  EXPECT_EQ(window_->FindControl<CAddressEditUI>(QStringLiteral("AddressEdit"))->GetAddressEdit()->GetEdit()->text(),
            server_->Url("/b"));
  SaveScreenshot(*window_, "crashed_page_notice");
  auto* reload = notice->findChild<QPushButton*>(QStringLiteral("crashedPageReload"));
  ASSERT_NE(reload, nullptr);
  EXPECT_EQ(reload->text(), "Reload");
  QTest::mouseClick(reload, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !front->IsCrashed() && Shows(front, server_->Url("/b")); }, 20000));
  EXPECT_EQ(front->GetTab()->GetTitle(), "B");
  EXPECT_FALSE(front->GetTab()->IconImages().contains("favicon_crashed"));

  // In the background, on a site of its own (a renderer of its own): three deaths.
  QString other = server_->Url("/a");
  other.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
  window_->PageList().OpenUrlInNewTab(Wide(other));
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_->PageList().Count() == 2; }, 20000));
  Page* back = window_->PageList().PageAt(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows(back, other) && back->GetTitle() == u"A"; }, 20000));
  for (int death = 1; death <= 3; ++death) {
    SCOPED_TRACE(death);
    window_->PageList().SelectPage(front);
    ASSERT_TRUE(killRenderer(back));
    ASSERT_TRUE(QTest::qWaitFor([&] { return back->IsCrashed(); }, 10000));
    EXPECT_EQ(back->GetTab()->GetTitle(), "Crashed: A");
    const int served = server_->CountFor("/a");
    window_->PageList().SelectPage(back);
    if (death < 3) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return !back->IsCrashed() && Shows(back, other) && server_->CountFor("/a") > served; },
                                  20000));
    } else {
      QTest::qWait(1000);
      EXPECT_TRUE(back->IsCrashed()) << "a site whose renderer keeps dying is not reloaded by itself";
      EXPECT_TRUE(back->CrashNotice()->isVisible());
      EXPECT_EQ(server_->CountFor("/a"), served);
    }
  }

  // A compatibility tab's page process dies: the same notice, and its reload button
  // brings the page back.
  window_->PageList().OpenIeTab(Wide(server_->Url("/b")));
  ASSERT_TRUE(QTest::qWaitFor([this] { return window_->PageList().Count() == 3; }, 5000));
  Page* compat = window_->PageList().PageAt(2);
  EXPECT_EQ(compat->GetEngineType(), Page::kEngineIe);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows(compat, server_->Url("/b")) && compat->GetTitle() == u"B"; }, 20000));
  EXPECT_EQ(window_->PageList().Current(), compat);
  ASSERT_GT(KillOwnCompatPageProcesses(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return compat->IsCrashed() && compat->CrashNotice()->isVisible(); }, 10000));
  EXPECT_EQ(compat->GetTab()->GetTitle(), "Crashed: B");
  EXPECT_EQ(compat->GetDisplayUrl(), Wide(server_->Url("/b")));
  SaveScreenshot(*window_, "crashed_page_notice_compat");
  QTest::mouseClick(compat->CrashNotice()->findChild<QPushButton*>(QStringLiteral("crashedPageReload")), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !compat->IsCrashed() && compat->GetTab()->GetTitle() == "B"; }, 20000));
}

// A private window writes nothing of its browsing: its address as a QR code is made
// and shown in memory, and the links and favourites it opens in a new window open in
// a private one; the last private window to close tells the features.
TEST_F(MainWindowTest, APrivateWindowsQrCodeAndNewWindowsLeaveNoTrace) {
  const fs::path cache = root_->path() / "private-cache";
  fs::create_directories(cache);
  SettingsRegistry::Instance().Set(SettingsKeys::kCacheFolder, Utf8ToWide(cache.string() + "/"));
  std::vector<std::pair<std::vector<WString>, bool>> opened;
  windows_->SetWindowOpener([&opened](const std::vector<WString>& urls, bool privately) {
    opened.emplace_back(urls, privately);
    return true;
  });
  MainDuiWnd privateWindow(*windows_, std::make_unique<EngineBodyFactory>(EngineBodyFactory::Private{*compatEngine_}));
  privateWindow.AddStartUrl(Wide(server_->Url("/a")));
  ASSERT_TRUE(privateWindow.CreateAndShow());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows(privateWindow.PageList().Current(), server_->Url("/a")); }, 20000));

  bool shown = false;
  QTimer::singleShot(50, [&] {
    WindowImplBase* qr = WaitForShown("KXQRCodeWnd");
    ASSERT_NE(qr, nullptr);
    auto* picture = dynamic_cast<MemoryPictureUI*>(qr->FindControl(QStringLiteral("qrcode_img")));
    shown = picture != nullptr && picture->HasPicture() && !qr->FindControl(QStringLiteral("qrcode_error"))->IsVisible();
    SaveScreenshot(*qr, "private_qr_code");
    ClickControl(*qr, "cancel_btn");
  });
  privateWindow.RunCommand(Commands::kShowQrCode);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(fs::is_empty(cache)) << "the private address was written to the cache";

  CommandArgs link;
  link.text = Wide(server_->Url("/b"));
  privateWindow.RunCommand(Commands::kOpenInNewWindow, link);
  link.urls = {link.text};
  privateWindow.RunCommand(Commands::kOpenAllInNewWindow, link);
  privateWindow.RunCommand(Commands::kNewWindow);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_TRUE(opened[0].second) << "a link of a private page opened in an ordinary window";
  EXPECT_TRUE(opened[1].second);
  EXPECT_FALSE(opened[2].second) << "an empty new window asked for from a private one is an ordinary one";
  windows_->SetWindowOpener(nullptr);
  int lastPrivateClosed = 0;
  windows_->AddLastPrivateClosedHook([&lastPrivateClosed] { ++lastPrivateClosed; });
  QTimer::singleShot(0, [&] { privateWindow.SendMessage(WM_CLOSE); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(lastPrivateClosed, 1) << "what the private windows downloaded must leave the list with the last one";
}

TEST_F(MainWindowTest, CloseShutsEveryPageDownKeepsTheLastAddressesAndLeavesTheEventLoop) {
  ASSERT_NE(Start(), nullptr);
  window_->PageList().OpenUrlInNewTab(Wide(server_->Url("/a")));
  ASSERT_TRUE(QTest::qWaitFor([this] { return window_->PageList().Count() == 2; }, 20000));
  const std::string sessionPath = (root_->path() / "close-session.json").string();
  SessionKeeper keeper(*windows_, SessionFile(sessionPath));
  QTimer::singleShot(0, [this] {
    // The engine reports a navigation of the new tab just before the window is
    // closed; the window's timer has not applied it yet.
    PageChannels::kTempRedirect.Post(
        std::make_unique<PageRedirectRecord>(PageRedirectRecord{window_->PageList().PageAt(1), Wide(server_->Url("/b"))}));
    window_->SendMessage(WM_CLOSE);
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(window_->PageList().Count(), 0);
  EXPECT_FALSE(window_->GetWidget()->isVisible());
  const SessionFile::ReadResult saved = SessionFile(sessionPath).Read();
  ASSERT_EQ(saved.state.windows.size(), 1u);
  ASSERT_EQ(saved.state.windows[0].tabs.size(), 2u);
  EXPECT_TRUE(saved.state.cleanExit);
  EXPECT_EQ(saved.state.windows[0].tabs[1].url, server_->Url("/b").toStdString());
}

}  // namespace
}  // namespace tarvo::test
