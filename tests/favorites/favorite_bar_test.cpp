// The favourites bar in a real main window: its buttons, clicks, the folder menu and
// what the right-click menus' entries do. Renaming from the bar's menu is run
// end to end.
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

#include "favorites/windows/favorite_folder_menu.h"
#include "favorites/windows/favorite_right_menu.h"
#include "favorites_fixture.h"
#include "favorites_window_fixture.h"
#include "shell/pages/page.h"
#include "shell/windows/shown_windows.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/menu_wnd.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

// The shown pop-up menu's entries with the given name, in order.
std::vector<CMenuElementUI*> MenuEntries(const char* name) {
  std::vector<CMenuElementUI*> entries;
  auto* menu = dynamic_cast<CMenuWnd*>(ShownWindowOf(QStringLiteral("MenuWndCls")));
  if (menu == nullptr || menu->GetMenuUI() == nullptr) return entries;
  for (int i = 0; i < menu->GetMenuUI()->GetCount(); ++i) {
    auto* entry = dynamic_cast<CMenuElementUI*>(menu->GetMenuUI()->GetItemAt(i));
    if (entry != nullptr && entry->GetName() == QLatin1String(name)) entries.push_back(entry);
  }
  return entries;
}

bool MenuClosed() {
  return QTest::qWaitFor([] { return ShownWindowOf(QStringLiteral("MenuWndCls")) == nullptr; }, 2000);
}

// Clicks an entry of the shown menu and waits for the menu to go.
void ClickEntry(CMenuElementUI* entry) {
  ASSERT_NE(entry, nullptr);
  auto* menu = dynamic_cast<WindowImplBase*>(ShownWindowOf(QStringLiteral("MenuWndCls")));
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu->GetWidget()));
  QTest::mouseClick(menu->GetWidget(), Qt::LeftButton, {}, CentreOf(entry));
  EXPECT_TRUE(MenuClosed()) << entry->GetCommand().toStdString();
}

// Closes the shown menu as losing the focus would.
void CloseMenu() {
  if (auto* menu = ShownWindowOf(QStringLiteral("MenuWndCls"))) menu->Close(IDCANCEL);
  EXPECT_TRUE(MenuClosed());
}

class FavoriteBarTest : public FavoritesWindowTest {};

TEST_F(FavoriteBarTest, ButtonsShowTheDocumentAndFollowItsChanges) {
  Json::Value items(Json::arrayValue);
  items.append(Folder("12", "Folder", {Bookmark("13", "inside", "http://in.test/", "12")}));
  Json::Value noId = Bookmark("", "no id", "http://noid.test/");
  noId.removeMember("id");
  items.append(noId);
  SetDocument(items);

  const std::vector<FavoriteBarButtonUI*> buttons = Buttons();
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[0]->GetName(), QLatin1String(FavoriteBarButtonUI::kFolderName));
  EXPECT_EQ(buttons[1]->GetTag(), 0);
  SaveScreenshot(*window_, QStringLiteral("favorites_bar"));

  // A change made on another thread reaches the bar.
  std::thread([&store = Store()] {
    Json::Value added = store.NewBookmark(u"", u"added elsewhere", u"http://added.test/");
    store.AddItem(added);
  }).join();
  EXPECT_TRUE(QTest::qWaitFor([this] { return ButtonNamed("added elsewhere") != nullptr; }, 2000));
}

TEST_F(FavoriteBarTest, ClicksOpenBookmarksAndFolders) {
  SetDocument(Document({Bookmark("1", "one", "http://one.test/"),
                        Folder("2", "two", {Bookmark("3", "three", "http://three.test/", "2"), Folder("9", "x")}),
                        Folder("4", "empty")}));
  Click(ButtonNamed("one"));
  ASSERT_NE(CurrentBody(), nullptr);
  EXPECT_EQ(CurrentBody()->loads.back(), u"http://one.test/");

  Click(ButtonNamed("two"));
  ASSERT_TRUE(QTest::qWaitFor([] { return MenuEntries(FavoriteFolderMenu::kEntryName).size() == 2; }, 2000));
  ClickEntry(MenuEntries(FavoriteFolderMenu::kEntryName)[0]);
  EXPECT_TRUE(QTest::qWaitFor([this] { return CurrentBody()->loads.back() == u"http://three.test/"; }, 2000));

  // An empty folder says so; its one line opens nothing.
  Click(ButtonNamed("empty"));
  ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindowOf(QStringLiteral("MenuWndCls")) != nullptr; }, 2000));
  EXPECT_TRUE(MenuEntries(FavoriteFolderMenu::kEntryName).empty());
  CloseMenu();
}

TEST_F(FavoriteBarTest, RightClickMenusDoWhatTheyShould) {
  SetDocument(Document({Bookmark("1", "one", "http://one.test/"),
                        Folder("2", "two", {Bookmark("3", "three", "http://three.test/", "2"),
                                            Bookmark("4", "four", "http://four.test/", "2")}),
                        Bookmark("5", "five", "http://five.test/")}));
  // Runs `command` from the right-click menu of `button`.
  const auto choose = [this](const std::string& button, int command) {
    Click(button.empty() ? Bar()->GetItemAt(Bar()->GetCount() - 1) : ButtonNamed(button), Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor([] { return !MenuEntries(FavoriteRightMenu::kEntryName).empty(); }, 2000));
    for (CMenuElementUI* entry : MenuEntries(FavoriteRightMenu::kEntryName)) {
      if (entry->GetCommand().toInt() != command) continue;
      if (entry->IsEnabled()) {
        ClickEntry(entry);
      } else {
        QTest::mouseClick(ShownWindowOf(QStringLiteral("MenuWndCls"))->GetWidget(), Qt::LeftButton, {}, CentreOf(entry));
        CloseMenu();  // a greyed-out entry leaves the menu open
      }
      break;
    }
    Settle();
  };
  // Opening goes through the window's commands (new tabs open through the engines).
  choose("one", FavoriteRightMenu::kOpenInTab);
  choose("two", FavoriteRightMenu::kOpenAll);
  ASSERT_TRUE(QTest::qWaitFor([this] { return factory_->Target().chromiumUrls.size() >= 4; }, 2000));
  const std::vector<WString> opened(factory_->Target().chromiumUrls.end() - 3, factory_->Target().chromiumUrls.end());
  EXPECT_EQ(opened, (std::vector<WString>{u"http://one.test/", u"http://three.test/", u"http://four.test/"}));
  // Deleting a folder takes its bookmarks.
  choose("two", FavoriteRightMenu::kDelete);
  EXPECT_TRUE(QTest::qWaitFor([this] { return ButtonNamed("two") == nullptr; }, 2000));
  EXPECT_TRUE(Store().FindById("3").isNull());
}

}  // namespace
}  // namespace tarvo::test
