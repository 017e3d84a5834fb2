// The favourites window and the star in a real main window, where the end-to-end run
// does not reach.
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "bus/bus_channels.h"
#include "favorites/windows/favorites_channels.h"
#include "favorites/windows/favorite_wnd.h"
#include "favorites_fixture.h"
#include "favorites_window_fixture.h"
#include "shell/windows/shown_windows.h"
#include "support/temp_dir.h"
#include "ui/edit_ui.h"
#include "ui/option_ui.h"
#include "ui/tree_node_ui.h"
#include "ui/tree_view_ui.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

// Runs `act` on the favourites window once it is shown (inside its modal loop).
void WhenShown(std::function<void(FavoriteWnd&)> act) {
  QTimer::singleShot(200, [act] {
    auto* window = dynamic_cast<FavoriteWnd*>(ShownWindowOf(QStringLiteral("KXFavorWnd")));
    ASSERT_NE(window, nullptr);
    (void)QTest::qWaitForWindowExposed(window->GetWidget());
    act(*window);
  });
}

bool Idle(FavoriteWnd& window) { return QTest::qWaitFor([&] { return !window.IsBusy(); }, 5000); }

CTreeNodeUI* Node(FavoriteWnd& window, const QString& text) {
  auto* tree = window.FindControl<CTreeViewUI>(QStringLiteral("favor_tree"));
  for (int i = 0; tree != nullptr && i < tree->GetCount(); ++i) {
    if (tree->GetItemAt(i)->GetText() == text) return dynamic_cast<CTreeNodeUI*>(tree->GetItemAt(i));
  }
  return nullptr;
}

// A point on a tree node's name (the rows are far wider than the tree shows).
QPoint OnName(CTreeNodeUI* node) {
  const QRect row = node != nullptr ? node->GetPos() : QRect();
  return QPoint(row.left() + 60, row.center().y());
}

class FavoriteWndTest : public FavoritesWindowTest {
 protected:
  COptionUI* Star() { return dynamic_cast<COptionUI*>(window_->Control(QStringLiteral("favor_btn"))); }
};

// Adding through the star is run end to end; here what the end-to-end run leaves out.
TEST_F(FavoriteWndTest, TheStarsCancelAddsNothingAndOnAFavoriteTheStarRemovesIt) {
  SetDocument(Document({Bookmark("1", "Page", "http://page.test/a?b=1&c=2")}));
  ShowAddress(u"http://other.test/", u"Other");
  ASSERT_NE(Star(), nullptr);
  WhenShown([this](FavoriteWnd& editor) {
    // Under the star, right edges aligned.
    const QRect star = window_->ControlScreenRect(QStringLiteral("favor_btn"));
    EXPECT_EQ(editor.GetWindowRect().right(), star.right());
    EXPECT_EQ(editor.GetWindowRect().top(), star.bottom() + 1);
    ClickControl(editor, QStringLiteral("favor/ccbtn"));
  });
  Click(Star());
  Settle();
  EXPECT_FALSE(Store().ContainsUrl(u"http://other.test/"));
  EXPECT_FALSE(Star()->IsSelected());

  ShowAddress(u"http://page.test/a?b=1&c=2", u"Page");
  EXPECT_TRUE(Star()->IsSelected());
  Click(Star());
  Settle();
  EXPECT_FALSE(Store().ContainsUrl(u"http://page.test/a?b=1&c=2"));
  EXPECT_FALSE(Star()->IsSelected());
}

// The bar's menus open the window for the current page, as the end-to-end run does;
// the page's context menu sends a link.
TEST_F(FavoriteWndTest, TheBusOpensTheWindowForALink) {
  ShowAddress(u"http://current.test/", u"Current");
  QString seen;
  WhenShown([&seen](FavoriteWnd& editor) {
    seen = editor.FindControl(QStringLiteral("url_edt"))->GetText();
    ClickControl(editor, QStringLiteral("favor/ccbtn"));
  });
  // The window opens from the main window's drain of the bus, modally.
  BusChannels::PostUrl(FavoritesChannels::kShowFavoriteWnd, u"http://link.test/x?y=1&z=2");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty() && ShownWindowOf(QStringLiteral("KXFavorWnd")) == nullptr; }, 5000));
  EXPECT_EQ(seen, QStringLiteral("http://link.test/x?y=1&z=2"));
}

// Making a folder, moving the page into it and deleting the folder with it are run
// end to end.
TEST_F(FavoriteWndTest, AFolderIsRenamedByADoubleClickAndNothingIsSavedWithoutAnAddress) {
  SetDocument(Document({Folder("2", "old"), Folder("3", "other", {Bookmark("4", "inside", "http://in.test/", "3")})}));
  FavoriteWnd editor(Store(), Worker(), QString(), QString());
  WhenShown([](FavoriteWnd& window) {
    QTest::mouseDClick(window.GetWidget(), Qt::LeftButton, {}, OnName(Node(window, QStringLiteral("old"))));
    auto* folderEdit = window.FindControl<CEditUI>(QStringLiteral("favor_edt"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return folderEdit->IsVisible(); }, 2000));
    folderEdit->SetText(QStringLiteral("older"));
    QTest::keyClick(folderEdit->GetLineEdit(), Qt::Key_Return);
    ASSERT_TRUE(Idle(window));
    // Without an address nothing is saved.
    ClickControl(window, QStringLiteral("favor/okbtn"));
    ClickControl(window, QStringLiteral("favor/ccbtn"));
  });
  std::vector<QString> told;
  editor.SetMessenger([&](const QString& text) { told.push_back(text); });
  EXPECT_NE(editor.Run(window_->GetHWND(), std::nullopt), IDOK);
  Settle();
  EXPECT_EQ(told, std::vector<QString>{QStringLiteral("Please enter the address of the bookmark.")});
  ASSERT_EQ(Store().Document().Items().size(), 2u);
  EXPECT_EQ(FavoritesTree::Name(Store().Document().Items()[1]), "older") << "a renamed item moves to the end";
  EXPECT_EQ(Store().Document().CountAll(), 3u);
}

TEST_F(FavoriteWndTest, BookmarkFilesGoInAndOutWithAClearWordOnFailure) {
  TempDir files;
  const auto bookmarks = files.WriteFile("in.html", "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>"
                                                    "<DT><A HREF=\"http://a.test/\">A</A>"
                                                    "<DT><A HREF=\"javascript:alert(1)\">Bank login</A>"
                                                    "<DT><H3>Outer</H3><DL><p><DT><H3>Inner</H3><DL><p>"
                                                    "<DT><A HREF=\"http://b.test/\">B</A></DL><p>"
                                                    "<DT><A HREF=\"http://c.test/\">C</A></DL><p></DL>");
  const auto notes = files.WriteFile("notes.txt", "not bookmarks");
  const std::vector<QString> chosen = {QString::fromStdString(bookmarks.string()),
                                       QString::fromStdString((files.path() / "out.html").string()),
                                       QString::fromStdString(notes.string()),
                                       QStringLiteral("/nonexistent-folder/out.html")};
  size_t next = 0;
  std::vector<QString> told;
  FavoriteWnd editor(Store(), Worker(), QString(), QString());
  editor.SetFileChooser([&](bool) { return chosen[next++]; });
  editor.SetMessenger([&](const QString& text) { told.push_back(text); });
  WhenShown([](FavoriteWnd& window) {
    for (const char* button : {"favor/import", "favor/export", "favor/import", "favor/export"}) {
      ClickControl(window, QString::fromLatin1(button));
      ASSERT_TRUE(Idle(window));
    }
    EXPECT_NE(Node(window, QStringLiteral("Outer / Inner")), nullptr);
    ClickControl(window, QStringLiteral("favor/ccbtn"));
  });
  editor.Run(window_->GetHWND(), std::nullopt);
  EXPECT_EQ(told, (std::vector<QString>{QStringLiteral("Imported 3 bookmarks in 2 folders. Left out for an address "
                                                       "that would run a script or open local files: 1."),
                                        QStringLiteral("Exported 3 bookmarks in 2 folders."),
                                        QStringLiteral("This file is not a bookmark file. Nothing was imported."),
                                        QStringLiteral("The file could not be written. Please choose another place.")}));
  EXPECT_NE(ButtonNamed("Outer"), nullptr);
  EXPECT_TRUE(std::filesystem::exists(files.path() / "out.html"));
}

TEST_F(FavoriteWndTest, ALoggedInUsersAddWaitsForTheServiceAndARefusalIsReported) {
  LoggedIn user("31", "token");
  ScriptedService service;
  service.SetDelay(400);
  service.Answer("app/v1.0/add_fav_item", Envelope(500, Json::Value()));
  std::vector<QString> told;
  FavoriteWnd editor(Store(), Worker(), QStringLiteral("Remote"), QStringLiteral("http://remote.test/"));
  editor.SetMessenger([&](const QString& text) { told.push_back(text); });
  WhenShown([&service](FavoriteWnd& window) {
    ClickControl(window, QStringLiteral("favor/okbtn"));
    EXPECT_TRUE(window.IsBusy());
    EXPECT_FALSE(window.FindControl(QStringLiteral("favor/okbtn"))->IsEnabled());
    ASSERT_TRUE(Idle(window));
    EXPECT_TRUE(window.FindControl(QStringLiteral("favor/okbtn"))->IsEnabled());
    service.Answer("app/v1.0/add_fav_item", Envelope(200, Document({Bookmark("900", "Remote", "http://remote.test/")})));
    ClickControl(window, QStringLiteral("favor/okbtn"));
  });
  EXPECT_EQ(editor.Run(window_->GetHWND(), std::nullopt), IDOK);
  EXPECT_EQ(told, std::vector<QString>{QStringLiteral("The bookmark could not be saved. Please try again.")});
  EXPECT_EQ(FavoritesTree::Name(Store().FindById("900")), "Remote");
}

}  // namespace
}  // namespace tarvo::test
