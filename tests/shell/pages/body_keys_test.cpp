// The browser's own keys pressed inside Chromium views: each key stroke reaches the
// main window as exactly one command, whichever widget of the page has the keyboard
// (a field, the view, a select element's list) and however many views exist.
#include <QApplication>
#include <QWidget>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_frame.h"
#include "engines/cef/tab_cef_body.h"
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
}

}  // namespace
}  // namespace tarvo::test
