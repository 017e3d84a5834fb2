// The favourites bar in a real main window: its buttons, names and icons, clicks, the
// folder menu and the three right-click menus with what their entries do, and the
// keys that hide and show it. Renaming from the bar's menu is run end to end.
#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "favorites/windows/favorite_bar_text.h"
#include "favorites/windows/favorite_folder_menu.h"
#include "favorites/windows/favorite_right_menu.h"
#include "favorites/windows/favorites_language_keys.h"
#include "favorites_fixture.h"
#include "favorites_window_fixture.h"
#include "net/picture_cache.h"
#include "shell/pages/page.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/shown_windows.h"
#include "ui/edit_ui.h"
#include "ui/label_ui.h"
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

QString EntryText(CMenuElementUI* entry) {
  auto* label = entry->FindControl([](CControlUI* c) { return dynamic_cast<CLabelUI*>(c) != nullptr && !c->GetText().isEmpty(); });
  return label != nullptr ? label->GetText() : QString();
}

// A picture file of exactly `size` bytes: a one-pixel PNG padded at its end.
void WriteIcon(const WString& path, int size) {
  QImage pixel(1, 1, QImage::Format_ARGB32);
  pixel.fill(Qt::darkGreen);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  pixel.save(&buffer, "PNG");
  bytes.append(QByteArray(size - bytes.size(), '\0'));
  std::ofstream(WideToUtf8(path), std::ios::binary).write(bytes.constData(), bytes.size());
}

class FavoriteBarTest : public FavoritesWindowTest {};

TEST_F(FavoriteBarTest, ButtonsShowTheDocumentWithShortNamesAndUsableIcons) {
  // Four sites whose cached icons are 150, 200, 12000 and 12001 bytes.
  const std::pair<int, bool> icons[] = {{150, false}, {200, true}, {12000, true}, {12001, false}};
  Json::Value items(Json::arrayValue);
  int id = 1;
  for (const auto& [size, usable] : icons) {
    const std::string site = "http://icon" + std::to_string(size) + ".test/";
    WriteIcon(PictureCache::CachePath(Utf8ToWide(site + "favicon.ico")), size);
    items.append(Bookmark(std::to_string(id++), "icon " + std::to_string(size), site + "page"));
  }
  const std::string longName = "A name far too long for one button of the favourites bar";
  items.append(Bookmark("10", longName, "http://long.test/"));
  items.append(Bookmark("11", "\U0001F600\U0001F600\U0001F600 שלום עולם مرحبا بالعالم \U0001F44D\U0001F3FD\U0001F44D\U0001F3FD", "http://rtl.test/"));
  items.append(Folder("12", "Folder", {Bookmark("13", "inside", "http://in.test/", "12")}));
  Json::Value noId = Bookmark("", "no id", "http://noid.test/");
  noId.removeMember("id");
  items.append(noId);
  SetDocument(items);

  const std::vector<FavoriteBarButtonUI*> buttons = Buttons();
  ASSERT_EQ(buttons.size(), 8u);
  for (size_t i = 0; i < 4; ++i) {
    auto* icon = dynamic_cast<CLabelUI*>(buttons[i]->GetItemAt(0));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetBkImage().contains(QStringLiteral("favicon_newtab")), !icons[i].second) << icons[i].first;
  }
  const QFont font = window_->GetPaintManager().GetFont(FavoriteBarUI::kTextFont);
  for (FavoriteBarButtonUI* button : buttons) {
    auto* text = dynamic_cast<CLabelUI*>(button->GetItemAt(1));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(button->GetFixedWidth(), text->GetFixedWidth() + FavoriteBarUI::kButtonExtraWidth);
    EXPECT_EQ(text->GetText(), FavoriteBarText::Shorten(button->GetToolTip(), font).text);
  }
  FavoriteBarButtonUI* cut = ButtonNamed(longName);
  ASSERT_NE(cut, nullptr);
  const QString shown = cut->GetItemAt(1)->GetText();
  EXPECT_TRUE(shown.endsWith(QStringLiteral("...")));
  EXPECT_TRUE(QString::fromStdString(longName).startsWith(shown.chopped(3)));
  EXPECT_LE(QFontMetricsF(font).horizontalAdvance(shown.chopped(3)), FavoriteBarText::kWidestName + 1);
  // A cut never splits a character made of several code units.
  const QString rtl = buttons[5]->GetItemAt(1)->GetText();
  EXPECT_FALSE(QChar(rtl.chopped(3).back()).isHighSurrogate()) << rtl.toStdString();
  EXPECT_EQ(buttons[6]->GetName(), QLatin1String(FavoriteBarButtonUI::kFolderName));
  EXPECT_EQ(buttons[7]->GetTag(), 0);
  FavoriteBarUI* bar = Bar();
  EXPECT_EQ(bar->GetItemAt(bar->GetCount() - 1)->GetName(), QLatin1String(FavoriteBarUI::kFillerName));
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
  auto* menu = dynamic_cast<CMenuWnd*>(ShownWindowOf(QStringLiteral("MenuWndCls")));
  EXPECT_EQ(menu->GetMenuUI()->GetFixedHeight(),
            2 * FavoriteFolderMenu::kEntryHeight + menu->GetMenuUI()->GetInset().top + menu->GetMenuUI()->GetInset().bottom);
  const QRect button = ButtonNamed("two")->GetPos();
  EXPECT_EQ(menu->GetWindowRect().topLeft(),
            window_->GetWidget()->mapToGlobal(QPoint(button.left(), button.top() + button.height() - 2)));
  SaveScreenshot(*menu, QStringLiteral("favorites_folder_menu"));
  ClickEntry(MenuEntries(FavoriteFolderMenu::kEntryName)[0]);
  EXPECT_TRUE(QTest::qWaitFor([this] { return CurrentBody()->loads.back() == u"http://three.test/"; }, 2000));

  // An empty folder says so; its one line opens nothing.
  Click(ButtonNamed("empty"));
  ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindowOf(QStringLiteral("MenuWndCls")) != nullptr; }, 2000));
  EXPECT_TRUE(MenuEntries(FavoriteFolderMenu::kEntryName).empty());
  CloseMenu();
}

TEST_F(FavoriteBarTest, RightClickMenusOfferAndDoWhatTheyShould) {
  using Target = FavoriteRightMenu::Target;
  SetDocument(Document({Bookmark("1", "one", "http://one.test/"),
                        Folder("2", "two", {Bookmark("3", "three", "http://three.test/", "2"),
                                            Bookmark("4", "four", "http://four.test/", "2")}),
                        Bookmark("5", "five", "http://five.test/")}));
  const struct {
    std::string button;  // "" = the empty end
    Target target;
  } cases[] = {{"one", Target::kBookmark}, {"two", Target::kFolder}, {"", Target::kEmptyArea}};
  for (const auto& menuCase : cases) {
    Click(menuCase.button.empty() ? Bar()->GetItemAt(Bar()->GetCount() - 1) : ButtonNamed(menuCase.button),
          Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor([] { return !MenuEntries(FavoriteRightMenu::kEntryName).empty(); }, 2000));
    const auto entries = MenuEntries(FavoriteRightMenu::kEntryName);
    ASSERT_EQ(entries.size(), 11u);
    for (CMenuElementUI* entry : entries) {
      const int command = entry->GetCommand().toInt();
      EXPECT_EQ(entry->IsEnabled(), FavoriteRightMenu::Enables(menuCase.target, command)) << command;
      EXPECT_EQ(EntryText(entry), LanguageText(FavoritesLanguageKeys::kRightMenu[command - 1])) << command;
    }
    CloseMenu();
  }

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
  // Sorting never reorders: the bar keeps the document's order.
  choose("", FavoriteRightMenu::kSortByName);
  choose("one", FavoriteRightMenu::kSortByTime);
  ASSERT_EQ(Buttons().size(), 3u);
  EXPECT_EQ(Buttons()[0]->GetToolTip(), "one");
  EXPECT_EQ(Buttons()[2]->GetToolTip(), "five");
  // Opening goes through the window's commands (new tabs open through the engines).
  choose("one", FavoriteRightMenu::kOpenInTab);
  choose("two", FavoriteRightMenu::kOpenAll);
  ASSERT_TRUE(QTest::qWaitFor([this] { return factory_->Target().chromiumUrls.size() >= 4; }, 2000));
  const std::vector<WString> opened(factory_->Target().chromiumUrls.end() - 3, factory_->Target().chromiumUrls.end());
  EXPECT_EQ(opened, (std::vector<WString>{u"http://one.test/", u"http://three.test/", u"http://four.test/"}));
  // Deleting a folder takes its bookmarks; hiding removes the bar.
  choose("two", FavoriteRightMenu::kDelete);
  EXPECT_TRUE(QTest::qWaitFor([this] { return ButtonNamed("two") == nullptr; }, 2000));
  EXPECT_TRUE(Store().FindById("3").isNull());
  choose("one", FavoriteRightMenu::kHideBar);
  EXPECT_TRUE(QTest::qWaitFor([this] { return !window_->IsFavoriteBarShown(); }, 2000));
}

TEST_F(FavoriteBarTest, KeysHideAndShowTheRealBar) {
  SetDocument(Document({Bookmark("1", "one", "http://one.test/")}));
  QTest::keyClick(window_->GetWidget(), Qt::Key_H, Qt::ControlModifier);
  EXPECT_TRUE(QTest::qWaitFor([this] { return !window_->IsFavoriteBarShown(); }, 2000));
  QTest::keyClick(window_->GetWidget(), Qt::Key_H, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([this] { return window_->IsFavoriteBarShown(); }, 2000));
  // The bar shown again is the favourites' own, with their buttons.
  ASSERT_NE(Bar(), nullptr);
  EXPECT_NE(ButtonNamed("one"), nullptr);
}

}  // namespace
}  // namespace tarvo::test
