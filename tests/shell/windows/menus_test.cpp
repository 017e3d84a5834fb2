// The pop-up menus from the built skin package, opened over a recording main
// window: what each entry posts, which entries close the menu, pinning from the tab
// menu, and saving the page through the save dialog.
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include <set>

#include "bus/message_bus.h"
#include "shell/commands/command_table.h"
#include "shell/windows/i_main_menu_owner.h"
#include "shell/windows/main_right_menu_wnd.h"
#include "shell/commands/main_window_commands.h"
#include "shell/windows/menu_wnd.h"
#include "shell/windows/page_save_dialog.h"
#include "shell/windows/tab_right_menu_wnd.h"
#include "shell_test_owner.h"
#include "shown_windows.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "ui/window_registry.h"
#include "shell/commands/main_window_messages.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

class RecordingMenuOwner : public IMainMenuOwner {
 public:
  User CurrentUser() const override { return user; }
  bool IsAvailable(unsigned command) const override { return unavailable.count(command) == 0; }
  QString UpdateEntryText() const override { return "Version 1.0 (latest 1.1)"; }
  void OnLanguageChanged() override { ++languageChanges; }

  User user;
  std::set<unsigned> unavailable;
  int languageChanges = 0;
};

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(MessageBus::Instance().Initialise(), 0);
    ASSERT_NE(main_.Create(0, "main", WS_POPUP, 0, 0, 0, 800, 600), 0u);
    ASSERT_TRUE(ShowAndWait(main_));
  }
  void TearDown() override {
    main_.keepOpen = false;
    main_.Close();
    QTest::qWait(10);
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

TEST_F(MenusTest, EveryMainMenuEntryPostsItsCommandAndClosesAndALoggedInUserCanLogOut) {
  for (const auto& [control, command] : CommandTable::ControlsOf(ControlSurface::kMainMenu)) {
    if (control == "logout_btn") continue;  // shown only to a logged-in user, at the end
    main_.posted.clear();
    auto* menu = new MenuWnd(main_.GetHWND(), owner_);
    QPointer<QWidget> widget = Open(menu);
    if (control == "favor_btn") SaveScreenshot(*menu, "shell_main_menu");
    Click(*menu, control);
    EXPECT_TRUE(widget.isNull() || !widget->isVisible()) << control.toStdString() << " leaves the menu open";
    EXPECT_EQ(main_.Commands(), std::vector<unsigned>{command}) << control.toStdString();
  }
  main_.posted.clear();
  auto* menu = new MenuWnd(main_.GetHWND(), owner_);
  Open(menu);
  Click(*menu, "cancel_btn");
  EXPECT_TRUE(main_.posted.empty());

  owner_.user = {true, "Mia", "", ""};
  menu = new MenuWnd(main_.GetHWND(), owner_);
  Open(menu);
  EXPECT_EQ(menu->FindControl("nickname_lbl")->GetText(), "Mia");
  ASSERT_TRUE(menu->FindControl("logout_btn")->IsVisible());
  Click(*menu, "logout_btn");
  EXPECT_EQ(main_.Commands(), std::vector<unsigned>{Commands::kLogOut});
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
  SaveScreenshot(*languageMenu, "shell_language_menu");
  QTest::mouseClick(languages, Qt::LeftButton, {}, QPoint(100, 4 + 24));  // "china" sorts first
  QTest::qWait(30);
  EXPECT_EQ(owner_.languageChanges, 1);
  EXPECT_EQ(LanguageManager::Instance().GetCurrentLanguage(), u"china");
  ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
}

TEST(PageSaveDialogTest, PageTitlesBecomeSafeFileNames) {
  EXPECT_EQ(PageSaveDialog::DefaultName("News / today\\now"), "News _ today_now");
  EXPECT_EQ(PageSaveDialog::DefaultName("   "), "page");
  EXPECT_EQ(PageSaveDialog::DefaultName(".."), "page");
  EXPECT_EQ(PageSaveDialog::DefaultName(QString("a") + QChar(0x07) + "b"), "a_b");
  EXPECT_EQ(PageSaveDialog::WithExtension("/x/report.PDF", ".pdf"), "/x/report.PDF");
  EXPECT_EQ(PageSaveDialog::WithExtension("/x/report.pdf.txt", ".pdf"), "/x/report.pdf.txt.pdf");
}

TEST_F(MenusTest, MainRightMenuPostsAndAlwaysClosesAlsoWhenTheMainWindowTakesTheFocus) {
  auto open = [&] {
    auto* menu = new MainRightMenuWnd(main_.GetHWND());
    Open(menu);
    return menu;
  };
  auto* menu = open();
  SaveScreenshot(*menu, "shell_main_right_menu");
  Click(*menu, "new_tab_btn");
  Click(*open(), "showfavorbar_btn");
  Click(*open(), "close_btn");
  EXPECT_EQ(main_.Commands(),
            (std::vector<unsigned>{Commands::kOpenHome, Commands::kShowFavoriteBar, Commands::kCloseWindow}));
  main_.posted.clear();
  menu = open();
  QPointer<QWidget> widget = menu->GetWidget();
  Click(*menu, "changeskin_btn");
  EXPECT_TRUE(widget.isNull());
  EXPECT_TRUE(main_.posted.empty());

  // Untouched, it closes when the main window takes the focus, which itself stays.
  widget = open()->GetWidget();
  ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
  main_.GetWidget()->activateWindow();
  QTest::qWait(100);
  EXPECT_TRUE(widget.isNull());
  EXPECT_EQ(main_.Count(WM_CLOSE), 0u);
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
