// The browser's own keys pressed inside engine views: each key stroke reaches the
// main window as exactly one command, whichever widget of the page has the keyboard
// and however many views exist; keys still reach the page.
#include <QApplication>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWidget>

#include "engines/cef/cef_browser.h"
#include "engines/cef/cef_frame.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/ie/tab_ie_body.h"
#include "engines/ie/web_browser_control.h"
#include "shell/commands/main_window_commands.h"
#include "shell/pages/bodies_fixture.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "ui/ui_messages.h"

namespace tarvo::test {
namespace {

class BodyKeysTest : public BodiesTest {
 protected:
  // Presses and releases the key on the widget, then lets posted messages arrive.
  void Stroke(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(widget, key, modifiers);
    Settle(200);
  }
};

TEST_F(BodyKeysTest, ControlWClosesOnceWhateverViewOrWidgetHasTheKeyboard) {
  server_.Route("/keys", Html("<html><body style=\"margin:0\">"
                              "<select id=\"choice\" style=\"width:200px;height:30px\">"
                              "<option>one</option><option>two</option><option>three</option></select>"
                              "<input id=\"field\" style=\"width:200px\"></body></html>"));
  // Several engine views on the one thread, each with its own filter.
  Page* first = OpenChromium("/keys");
  ASSERT_NE(first, nullptr);
  Page* second = OpenChromium("/keys");
  ASSERT_NE(second, nullptr);
  Page* third = OpenChromium("/keys");
  ASSERT_NE(third, nullptr);
  QWidget* input = InputTarget(third);
  ASSERT_NE(input, nullptr);

  mainWindow_.messages.clear();
  Stroke(input, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(mainWindow_.CommandCount(Commands::kCloseTab), 1);
  // The command names its source like an accelerator does.
  for (const auto& message : mainWindow_.messages) {
    if (message.msg == DuiLib::WM_COMMAND) {
      EXPECT_EQ(message.wParam >> 16, Commands::kCommandSource);
    }
  }

  // The view itself (a click on its frame) and a field inside the page.
  QWidget* view = CefBody(third)->GetWindow();
  mainWindow_.messages.clear();
  Stroke(view, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(mainWindow_.CommandCount(Commands::kCloseTab), 1);
  ASSERT_TRUE(CefBody(third)->GetBrowser()->GetMainFrame()->ExecuteJavaScript(
      u"document.getElementById('field').focus();", u"", 0));
  Settle(200);
  mainWindow_.messages.clear();
  Stroke(input, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(mainWindow_.CommandCount(Commands::kCloseTab), 1);

  // The drop-down list of a select element is a window of its own.
  QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, QPoint(100, 15));
  ASSERT_TRUE(Pump([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
  QWidget* popup = QApplication::activePopupWidget();
  mainWindow_.messages.clear();
  Stroke(popup, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(mainWindow_.CommandCount(Commands::kCloseTab), 1);
  if (QApplication::activePopupWidget() != nullptr) QApplication::activePopupWidget()->close();

  // The other keys of the table, one command each; plain W and Alt+H post nothing.
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    unsigned command;
  } strokes[] = {{Qt::Key_F, Qt::ControlModifier, Commands::kFindInPage},
                 {Qt::Key_H, Qt::ControlModifier, Commands::kHideFavorBar},
                 {Qt::Key_F11, Qt::NoModifier, Commands::kToggleFullScreen},
                 {Qt::Key_Escape, Qt::NoModifier, Commands::kLeaveFullScreen},
                 {Qt::Key_F5, Qt::NoModifier, Commands::kReload}};
  for (const auto& stroke : strokes) {
    mainWindow_.messages.clear();
    Stroke(input, stroke.key, stroke.modifiers);
    EXPECT_EQ(mainWindow_.CommandCount(stroke.command), 1) << stroke.command;
    EXPECT_EQ(mainWindow_.Count(DuiLib::WM_COMMAND), 1) << stroke.command;
  }
  mainWindow_.messages.clear();
  Stroke(input, Qt::Key_W);
  Stroke(input, Qt::Key_H, Qt::AltModifier);
  EXPECT_EQ(mainWindow_.Count(DuiLib::WM_COMMAND), 0);
}

TEST_F(BodyKeysTest, CompatibilityPageTurnsF5AndF11IntoCommandsAndKeepsOtherKeys) {
  server_.Route("/ie-keys", Html("<html><body><input id=\"field\" autofocus></body></html>"));
  TabIeBody* body = CreateIeBody(factory_.ieEnvironment, Wide(server_.Url("/ie-keys")));
  ASSERT_NE(body, nullptr);
  Page* page = body->GetOwner();
  ASSERT_TRUE(Pump([&] { return LoadedAfterStart(page); }));
  QWidget* view = body->GetWindow();
  ASSERT_TRUE(Pump([&] { return view->isVisible(); }));
  QWebFrame* frame = body->Control()->page()->mainFrame();
  frame->evaluateJavaScript(QStringLiteral("document.getElementById('field').focus();"));

  mainWindow_.messages.clear();
  Stroke(view, Qt::Key_F5);
  EXPECT_EQ(mainWindow_.CommandCount(Commands::kReload), 1);
  Stroke(view, Qt::Key_F11);
  EXPECT_EQ(mainWindow_.CommandCount(Commands::kToggleFullScreen), 1);
  EXPECT_EQ(mainWindow_.Count(DuiLib::WM_COMMAND), 2);

  // Typing still reaches the page.
  QTest::keyClicks(view, QStringLiteral("abc"));
  Settle(200);
  EXPECT_EQ(frame->evaluateJavaScript(QStringLiteral("document.getElementById('field').value")).toString(),
            QStringLiteral("abc"));
  EXPECT_EQ(mainWindow_.Count(DuiLib::WM_COMMAND), 2);
}

}  // namespace
}  // namespace tarvo::test
