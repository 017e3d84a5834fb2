// The pop-up menus from the built skin package, opened over a recording main
// window: what each entry posts, which entries close the menu, pinning from the tab
// menu, and saving the page through the save dialog.
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include "bus/bus_keys.h"
#include "bus/message_bus.h"
#include "shell/windows/i_main_menu_owner.h"
#include "shell/windows/main_right_menu_wnd.h"
#include "shell/commands/main_window_commands.h"
#include "shell/windows/menu_wnd.h"
#include "shell/windows/tab_right_menu_wnd.h"
#include "shell_test_owner.h"
#include "shown_windows.h"
#include "settings/language_manager.h"
#include "settings/settings_registry.h"
#include "ui/window_registry.h"
#include "shell/commands/main_window_messages.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

class RecordingMenuOwner : public IMainMenuOwner {
 public:
  User CurrentUser() const override { return user; }
  void LogOut() override {
    user.loggedIn = false;
    ++logouts;
  }
  bool IsFavorBarShown() const override { return favorBarShown; }
  QString CurrentPageTitle() const override { return title; }
  void SaveCurrentPageAsPdf(const QString& path) override { pdfs.push_back(path); }
  void SaveCurrentPageAsHtml(const QString& path) override { htmls.push_back(path); }
  void OpenInNewTab(const WString& url) override { opened.push_back(url); }
  QString UpdateEntryText() const override { return "Version 1.0 (latest 1.1)"; }
  void CheckForUpdate() override { ++updates; }
  void MakeDefaultBrowser() override { ++defaults; }
  void OnLanguageChanged() override { ++languageChanges; }

  User user;
  bool favorBarShown = true;
  QString title = "Page: a/b";
  std::vector<QString> pdfs, htmls;
  std::vector<WString> opened;
  int logouts = 0, updates = 0, defaults = 0, languageChanges = 0;
};

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(MessageBus::Instance().Initialise(), 0);
    DrainBus();
    ASSERT_NE(main_.Create(0, "main", WS_POPUP, 0, 0, 0, 800, 600), 0u);
    ASSERT_TRUE(ShowAndWait(main_));
  }
  void TearDown() override {
    main_.keepOpen = false;
    main_.Close();
    QTest::qWait(10);
  }
  static void DrainBus() {
    for (WStringView key : BusKeys::kPollOrder) {
      while (MessageBus::Instance().Pop(key) != 0) {
      }
    }
  }

  // Opens `menu` and waits until it shows.
  template <class Menu>
  QPointer<QWidget> Open(Menu* menu) {
    EXPECT_TRUE(menu->Popup(main_.GetHWND(), QPoint(40, 40)));
    QPointer<QWidget> widget = menu->GetWidget();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(widget));
    return widget;
  }
  static void Click(WindowImplBase& window, const QString& control) {
    ClickControl(window, control);
    QTest::qWait(30);
  }

  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
  ShellTestOwner main_{"find.xml"};
  RecordingMenuOwner owner_;
};

TEST_F(MenusTest, MainMenuEntriesPostTheirMessagesAndClose) {
  struct Case {
    const char* control;
    std::function<void()> check;
  };
  const std::vector<Case> cases = {
      {"favor_btn", [&] { EXPECT_EQ(main_.Commands(), std::vector<unsigned>{Commands::kHideFavorBar}); }},
      {"fullscreen_btn", [&] { EXPECT_EQ(main_.Commands(), std::vector<unsigned>{Commands::kToggleFullScreen}); }},
      {"download_btn", [&] { EXPECT_EQ(main_.Count(MainWindowMessages::kShowDownloads), 1u); }},
      {"empty_btn", [&] { EXPECT_EQ(main_.Count(MainWindowMessages::kShowClearData), 1u); }},
      {"login_btn", [&] { EXPECT_EQ(main_.Count(MainWindowMessages::kShowLogin), 1u); }},
      {"search_btn",
       [&] { EXPECT_EQ(MessageBus::Instance().Pop(BusKeys::kProtectShowFindDialog), BusKeys::kSignal); }},
      {"upgrade_btn", [&] { EXPECT_EQ(owner_.updates, 1); }},
      {"default_btn", [&] { EXPECT_EQ(owner_.defaults, 1); }},
      {"cancel_btn", [&] { EXPECT_TRUE(main_.posted.empty()); }},
  };
  for (const Case& c : cases) {
    main_.posted.clear();
    auto* menu = new MenuWnd(main_.GetHWND(), owner_);
    QPointer<QWidget> widget = Open(menu);
    if (std::string(c.control) == "favor_btn") SaveScreenshot(*menu, "shell_main_menu");
    Click(*menu, c.control);
    EXPECT_TRUE(widget.isNull() || !widget->isVisible()) << c.control << " leaves the menu open";
    c.check();
  }
  owner_.favorBarShown = false;
  main_.posted.clear();
  auto* menu = new MenuWnd(main_.GetHWND(), owner_);
  Open(menu);
  Click(*menu, "favor_btn");
  EXPECT_EQ(main_.Commands(), std::vector<unsigned>{Commands::kShowFavorBar});
}

TEST_F(MenusTest, MainMenuEntriesWithoutActionLeaveItOpen) {
  auto* menu = new MenuWnd(main_.GetHWND(), owner_);
  QPointer<QWidget> widget = Open(menu);
  EXPECT_EQ(menu->FindControl("upgrade_btn")->GetText(), "Version 1.0 (latest 1.1)");
  EXPECT_FALSE(menu->FindControl("logout_btn")->IsVisible());
  for (const char* control : {"history_btn", "setting_btn", "screenshot_btn", "option_btn"}) {
    Click(*menu, control);
    ASSERT_FALSE(widget.isNull()) << control;
    EXPECT_TRUE(widget->isVisible()) << control;
  }
  EXPECT_TRUE(main_.posted.empty());
  menu->Close();
  QTest::qWait(20);
}

TEST_F(MenusTest, LoggedInUserOpensTheAccountPageAndCanLogOut) {
  SettingsRegistry::Instance().Set(u"usercenter/http", u"http://127.0.0.1:8360/");
  owner_.user = {true, "Mia", "", "t&k=1 #x"};
  auto* menu = new MenuWnd(main_.GetHWND(), owner_);
  Open(menu);
  EXPECT_EQ(menu->FindControl("nickname_lbl")->GetText(), "Mia");
  Click(*menu, "login_btn");
  ASSERT_EQ(owner_.opened.size(), 1u);
  const QString url = QString::fromStdU16String(owner_.opened[0]);
  EXPECT_TRUE(url.startsWith("http://127.0.0.1:8360/usercenter/personal-center/common/auth?token=t%26k%3D1%20%23x&language="))
      << url.toStdString();

  menu = new MenuWnd(main_.GetHWND(), owner_);
  Open(menu);
  Click(*menu, "logout_btn");
  EXPECT_EQ(owner_.logouts, 1);
  EXPECT_EQ(MessageBus::Instance().Pop(BusKeys::kLogout), BusKeys::kSignal);
}

TEST_F(MenusTest, SavingThePageAsksForANameAndAddsTheExtension) {
  std::vector<std::pair<QString, QString>> asked;  // default name, filter
  QString answer = "/tmp/saved";
  PageSaveDialog dialog([&](QWidget*, const QString& name, const QString& filter) {
    asked.emplace_back(name, filter);
    return answer;
  });
  auto* menu = new MenuWnd(main_.GetHWND(), owner_, dialog);
  Open(menu);
  Click(*menu, "savepic_btn");
  menu = new MenuWnd(main_.GetHWND(), owner_, dialog);
  Open(menu);
  answer = "/tmp/saved.HTML";
  Click(*menu, "savefile_btn");
  answer = "";  // cancelled: nothing is saved
  menu = new MenuWnd(main_.GetHWND(), owner_, dialog);
  Open(menu);
  Click(*menu, "savepic_btn");
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0], std::make_pair(QString("Page: a_b.pdf"), QString("Pdf Files(*.pdf)")));
  EXPECT_EQ(asked[1].second, "Html Files(*.html)");
  EXPECT_EQ(owner_.pdfs, std::vector<QString>{"/tmp/saved.pdf"});
  EXPECT_EQ(owner_.htmls, std::vector<QString>{"/tmp/saved.HTML"});
}

TEST_F(MenusTest, LanguageMenuListsThePacksAndSwitchesTheLanguage) {
  auto* menu = new MenuWnd(main_.GetHWND(), owner_);
  Open(menu);
  EXPECT_EQ(menu->FindControl("history_btn")->GetText(), "History list");  // from the pack
  EXPECT_EQ(menu->FindControl("setting_btn")->GetText(), "Settings");      // the pack lacks it
  Click(*menu, "language_btn");
  QWidget* languages = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "MenuWndCls" && widget->isVisible()) languages = widget;
  }
  ASSERT_NE(languages, nullptr);
  auto* languageMenu = dynamic_cast<WindowImplBase*>(
      CWindowRegistry::Instance().Find(CWindowRegistry::Instance().FindByWidget(languages)));
  ASSERT_NE(languageMenu, nullptr);
  EXPECT_EQ(languages->height(), 2 * 48 + 8);
  SaveScreenshot(*languageMenu, "shell_language_menu");
  QTest::mouseClick(languages, Qt::LeftButton, {}, QPoint(100, 4 + 24));  // "china" sorts first
  QTest::qWait(30);
  EXPECT_EQ(owner_.languageChanges, 1);
  EXPECT_EQ(LanguageManager::Instance().GetCurrentLanguage(), u"china");
  ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
}

TEST_F(MenusTest, PageTitlesBecomeSafeFileNames) {
  EXPECT_EQ(PageSaveDialog::DefaultName("News / today\\now"), "News _ today_now");
  EXPECT_EQ(PageSaveDialog::DefaultName("   "), "page");
  EXPECT_EQ(PageSaveDialog::DefaultName(".."), "page");
  EXPECT_EQ(PageSaveDialog::DefaultName(QString("a") + QChar(0x07) + "b"), "a_b");
  EXPECT_EQ(PageSaveDialog::WithExtension("/x/report.PDF", ".pdf"), "/x/report.PDF");
  EXPECT_EQ(PageSaveDialog::WithExtension("/x/report.pdf.txt", ".pdf"), "/x/report.pdf.txt.pdf");
}

TEST_F(MenusTest, MainRightMenuPostsAndAlwaysCloses) {
  auto open = [&] {
    auto* menu = new MainRightMenuWnd(main_.GetHWND());
    Open(menu);
    return menu;
  };
  auto* menu = open();
  SaveScreenshot(*menu, "shell_main_right_menu");
  Click(*menu, "new_tab_btn");
  EXPECT_EQ(MessageBus::Instance().Pop(BusKeys::kTabOpenHome), BusKeys::kSignal);
  Click(*open(), "showfavorbar_btn");
  EXPECT_EQ(MessageBus::Instance().Pop(BusKeys::kReflashFavorBar), BusKeys::kSignal);
  menu = open();
  QPointer<QWidget> widget = menu->GetWidget();
  Click(*menu, "changeskin_btn");
  EXPECT_TRUE(widget.isNull());
  EXPECT_TRUE(main_.posted.empty());
  Click(*open(), "close_btn");
  EXPECT_EQ(main_.Count(WM_CLOSE), 1u);
}

TEST_F(MenusTest, MenusCloseWhenTheMainWindowTakesTheFocus) {
  auto* menu = new MainRightMenuWnd(main_.GetHWND());
  QPointer<QWidget> widget = Open(menu);
  ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
  main_.GetWidget()->activateWindow();
  QTest::qWait(100);
  EXPECT_TRUE(widget.isNull());
  EXPECT_EQ(main_.Count(WM_CLOSE), 0u);  // the main window itself stays
}

TEST_F(MenusTest, TabMenuOffersPinOrUnpinByTheTabsState) {
  bool pinned = false;
  int pins = 0, unpins = 0;
  auto open = [&] {
    auto* menu = new TabRightMenuWnd({[&] { return pinned; }, [&] { ++pins, pinned = true; },
                                      [&] { ++unpins, pinned = false; }});
    Open(menu);
    return menu;
  };
  auto* menu = open();
  EXPECT_TRUE(menu->FindControl("pin_box")->IsVisible());
  EXPECT_FALSE(menu->FindControl("unpin_box")->IsVisible());
  SaveScreenshot(*menu, "shell_tab_menu");
  Click(*menu, "pin_tab");
  EXPECT_EQ(pins, 1);
  menu = open();
  EXPECT_FALSE(menu->FindControl("pin_box")->IsVisible());
  EXPECT_TRUE(menu->FindControl("unpin_box")->IsVisible());
  Click(*menu, "unpin_tab");
  EXPECT_EQ(unpins, 1);
  Click(*open(), "close_btn");
  EXPECT_EQ(pins + unpins, 2);
}

}  // namespace
}  // namespace tarvo::test
