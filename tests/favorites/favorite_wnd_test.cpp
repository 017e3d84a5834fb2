// The favourites window in a real main window, where the end-to-end run does not reach.
#include <QTest>
#include <gtest/gtest.h>

#include "favorites/windows/favorite_wnd.h"
#include "favorites_fixture.h"
#include "favorites_window_fixture.h"
#include "shell/windows/shown_windows.h"
#include "support/temp_dir.h"
#include "ui/tree_node_ui.h"
#include "ui/tree_view_ui.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

// Runs `act` on the favourites window once it is shown (inside its modal loop).
void WhenShown(std::function<void(FavoriteWnd&)> act) {
  test::WhenShown(QStringLiteral("KXFavorWnd"), [act](WindowImplBase& shown) { act(dynamic_cast<FavoriteWnd&>(shown)); });
}

bool Idle(FavoriteWnd& window) { return QTest::qWaitFor([&] { return !window.IsBusy(); }, 5000); }

CTreeNodeUI* Node(FavoriteWnd& window, const QString& text) {
  auto* tree = window.FindControl<CTreeViewUI>(QStringLiteral("favor_tree"));
  for (int i = 0; tree != nullptr && i < tree->GetCount(); ++i) {
    if (tree->GetItemAt(i)->GetText() == text) return dynamic_cast<CTreeNodeUI*>(tree->GetItemAt(i));
  }
  return nullptr;
}

class FavoriteWndTest : public FavoritesWindowTest {};

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

// A message box over the window (a full disk, an import that failed) can outlast it:
// the window is closed under the box, whose loop keeps Run from returning meanwhile.
// The pending line's timer and the worker's answers must leave the gone controls alone.
TEST_F(FavoriteWndTest, AWindowClosedUnderItsMessageBoxIsLeftAloneUntilTheBoxGoes) {
  TempDir files;
  const QString notes = QString::fromStdString(files.WriteFile("notes.txt", "not bookmarks").string());
  FavoriteWnd editor(Store(), Worker(), QString(), QString());
  editor.SetFileChooser([&](bool) { return notes; });
  int told = 0;
  editor.SetMessenger([&](const QString&) {
    ++told;
    editor.Close(IDCANCEL);
    QTest::qWait(2600);  // past a round of the pending line's timer
  });
  WhenShown([](FavoriteWnd& window) { ClickControl(window, QStringLiteral("favor/import")); });
  EXPECT_EQ(editor.Run(window_->GetHWND(), std::nullopt), IDCANCEL);
  EXPECT_EQ(told, 1);
}

// A logged-in user's bookmark saved while the service is busy is kept (no failure is
// reported); the window then says that a change waits for the service, in the
// interface language, and the line goes once the change is sent.
TEST_F(FavoriteWndTest, ALoggedInUsersAddIsKeptWhileTheServiceIsBusyAndTheWindowSaysItWaits) {
  LoggedIn user("31", "token");
  ScriptedService service;
  service.SetDelay(400);
  service.Answer("app/v1.0/add_fav_item", Envelope(503, Json::Value()));
  std::vector<QString> told;
  FavoriteWnd editor(Store(), Worker(), QStringLiteral("Remote"), QStringLiteral("http://remote.test/"));
  editor.SetMessenger([&](const QString& text) { told.push_back(text); });
  WhenShown([](FavoriteWnd& window) {
    EXPECT_FALSE(window.FindControl(QStringLiteral("favor/pending"))->IsVisible());
    ClickControl(window, QStringLiteral("favor/okbtn"));
    EXPECT_TRUE(window.IsBusy());
    EXPECT_FALSE(window.FindControl(QStringLiteral("favor/okbtn"))->IsEnabled());
  });
  EXPECT_EQ(editor.Run(window_->GetHWND(), std::nullopt), IDOK);
  EXPECT_TRUE(told.empty());
  EXPECT_EQ(Store().PendingCount(), 1);

  FavoriteWnd again(Store(), Worker(), QString(), QString());
  WhenShown([&service](FavoriteWnd& window) {
    CControlUI* line = window.FindControl(QStringLiteral("favor/pending"));
    EXPECT_TRUE(line->IsVisible());
    EXPECT_EQ(line->GetText(), QStringLiteral("1 changes wait for the service and are kept until it has them."));
    service.Answer("app/v1.0/add_fav_item", Envelope(200, Document({Bookmark("900", "Remote", "http://remote.test/")})));
    Store().SendPending();
    EXPECT_TRUE(QTest::qWaitFor([line] { return !line->IsVisible(); }, 5000));
    ClickControl(window, QStringLiteral("favor/ccbtn"));
  });
  again.Run(window_->GetHWND(), std::nullopt);
  EXPECT_EQ(FavoritesTree::Name(Store().FindById("900")), "Remote");
}

}  // namespace
}  // namespace tarvo::test
