// The modal small windows from the built skin package: the message box's answers,
// find forward and backward, rename accepted and cancelled.
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/windows/c_message_box.h"
#include "shell/windows/find_wnd.h"
#include "shell/windows/rename_wnd.h"
#include "ui/edit_ui.h"
#include "shown_windows.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

class DialogsTest : public ::testing::Test {
 protected:
  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
};

TEST_F(DialogsTest, MessageBoxAnswersOnlyOkWithTrueAndHidesCancelWhenNotOffered) {
  WhenShown("KXMessageBox", [](WindowImplBase& box) {
    EXPECT_EQ(box.FindControl("message")->GetText(), "Delete everything?");
    EXPECT_TRUE(box.FindControl("cancel_btn_btn")->IsVisible());
    SaveScreenshot(box, "shell_message_box");
    ClickControl(box, "ensure_btn");
  });
  EXPECT_TRUE(CMessageBox::Show(0, "Delete everything?", true));

  for (const char* refusal : {"cancel_btn_btn", "cancel_btn"}) {
    WhenShown("KXMessageBox", [refusal](WindowImplBase& box) { ClickControl(box, refusal); });
    EXPECT_FALSE(CMessageBox::Show(0, "Delete everything?", true)) << refusal;
  }
  WhenShown("KXMessageBox", [](WindowImplBase& box) { QTest::keyClick(box.GetWidget(), Qt::Key_Escape); });
  EXPECT_FALSE(CMessageBox::Show(0, "Delete everything?", true));

  // Without a cancel button the box offers OK alone.
  WhenShown("KXMessageBox", [](WindowImplBase& box) {
    EXPECT_FALSE(box.FindControl("cancel_btn_btn")->IsVisible());
    EXPECT_FALSE(box.FindControl("cancel_btn_sp")->IsVisible());
    ClickControl(box, "ensure_btn");
  });
  EXPECT_TRUE(CMessageBox::Show(0, "Saved.", false));
}

TEST_F(DialogsTest, FindSearchesForwardAndBackwardKeepsTheTextAndSitsUnderTheDownloadButton) {
  std::vector<std::pair<QString, bool>> searches;
  FindWnd find([&](const QString& text, bool forward) { searches.emplace_back(text, forward); }, "last time");
  WhenShown("KXFindWnd", [](WindowImplBase& window) {
    auto* edit = window.FindControl<CEditUI>("find/find_edit");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetText(), "last time");
    EXPECT_EQ(window.GetPaintManager().GetFocus(), edit);
    ClickControl(window, "find/next_btn");
    edit->GetLineEdit()->selectAll();
    QTest::keyClicks(edit->GetLineEdit(), "needle");
    ClickControl(window, "find/back_btn");
    QTest::keyClick(edit->GetLineEdit(), Qt::Key_Return);
    SaveScreenshot(window, "shell_find");
    ClickControl(window, "find/ccbtn");
  });
  find.Run(0, QPoint(200, 200));
  ASSERT_EQ(searches.size(), 3u);
  EXPECT_EQ(searches[0], std::make_pair(QString("last time"), true));
  EXPECT_EQ(searches[1], std::make_pair(QString("needle"), false));
  EXPECT_EQ(searches[2], std::make_pair(QString("needle"), true));
  EXPECT_EQ(find.GetFindText(), "needle");
  // It sits under the download button, lower by the favourites bar when that shows.
  const QRect download(900, 40, 32, 32);
  EXPECT_EQ(FindWnd::TopLeftFor(download, 420, false), QPoint(932 - 5 - 420, 72));
  EXPECT_EQ(FindWnd::TopLeftFor(download, 420, true), QPoint(932 - 5 - 420, 104));
}

TEST_F(DialogsTest, RenameHandsBackTheEditedTextOnlyWhenAccepted) {
  RenameWnd accepted("Old name");
  WhenShown("KXRenameWnd", [](WindowImplBase& window) {
    auto* edit = window.FindControl<CEditUI>("rename/rename_edit");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetText(), "Old name");
    edit->GetLineEdit()->selectAll();
    QTest::keyClicks(edit->GetLineEdit(), "New 'name' \"quoted\"");
    SaveScreenshot(window, "shell_rename");
    QTest::keyClick(edit->GetLineEdit(), Qt::Key_Return);
  });
  EXPECT_EQ(accepted.Run(0, "rename_favor", QPoint(100, 100)), IDOK);
  EXPECT_EQ(accepted.GetText(), "New 'name' \"quoted\"");

  RenameWnd cancelled("Old name");
  WhenShown("KXRenameWnd", [](WindowImplBase& window) {
    QTest::keyClicks(window.FindControl<CEditUI>("rename/rename_edit")->GetLineEdit(), " changed");
    ClickControl(window, "rename/ccbtn");
  });
  EXPECT_NE(cancelled.Run(0, "rename_favor", QPoint(100, 100)), IDOK);
  EXPECT_EQ(cancelled.GetText(), "Old name");
}

}  // namespace
}  // namespace tarvo::test
