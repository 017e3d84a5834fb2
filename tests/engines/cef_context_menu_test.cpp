// The Chromium layer's context menu: what the client is told of the spot clicked, and
// the client's model as the menu shown. Zoom, find, source and printing run through
// the engine bodies' suite and the main window's test.
#include <QApplication>
#include <QMenu>

#include "engines/webengine/engine_view.h"
#include "engines/cef_fixture.h"

namespace tarvo::test {
namespace {

class CefContextMenuTest : public CefFixture {
 protected:
  // Right-clicks the page at pos and returns the menu the layer shows, or nullptr.
  QMenu* RightClick(const CefRefPtr<CefBrowser>& browser, QPoint pos) {
    QWidget* view = browser->GetHost()->GetWindowHandle();
    QWidget* input = view->focusProxy() != nullptr ? view->focusProxy() : view;
    const size_t before = client_->menus.size();
    QTest::mouseClick(input, Qt::RightButton, Qt::NoModifier, pos);
    if (!WaitFor([&] { return client_->menus.size() > before; })) {
      return nullptr;
    }
    WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }, 3000);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  static QAction* ActionFor(QMenu* menu, int command) {
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator() && action->data().toInt() == command) {
        return action;
      }
    }
    return nullptr;
  }
};

TEST_F(CefContextMenuTest, ParametersDescribeLinkImageFieldAndSelection) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/menu.html"));
  ASSERT_NE(browser, nullptr);

  QMenu* menu = RightClick(browser, QPoint(30, 25));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->objectName(), EngineView::kMenuObjectName);
  const auto& link = client_->menus.back();
  EXPECT_TRUE(link.type_flags & CM_TYPEFLAG_LINK);
  EXPECT_FALSE(link.type_flags & CM_TYPEFLAG_EDITABLE);
  EXPECT_EQ(QString::fromStdU16String(link.link_url), server_.Url("/child.html"));
  // The client's model is what shows: its items, its enabled states, its separator.
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_TRUE(menu->actions()[1]->isSeparator());
  ASSERT_NE(ActionFor(menu, 26501), nullptr);
  EXPECT_TRUE(ActionFor(menu, 26501)->isEnabled());
  client_->handled_command = 26501;
  ActionFor(menu, 26501)->trigger();
  menu->close();
  EXPECT_EQ(client_->menu_commands, std::vector<int>{26501});

  menu = RightClick(browser, QPoint(30, 75));
  ASSERT_NE(menu, nullptr);
  const auto& image = client_->menus.back();
  EXPECT_TRUE(image.type_flags & CM_TYPEFLAG_MEDIA);
  EXPECT_EQ(image.media_type, CM_MEDIATYPE_IMAGE);
  EXPECT_TRUE(image.has_image_contents);
  EXPECT_EQ(QString::fromStdU16String(image.source_url), server_.Url("/pixel.png"));
  EXPECT_FALSE(ActionFor(menu, 26501)->isEnabled());
  // A command the client leaves alone is the engine's: reload loads the page again.
  const int loads = server_.CountFor("/menu.html");
  ActionFor(menu, MENU_ID_RELOAD)->trigger();
  menu->close();
  ASSERT_TRUE(WaitFor([&] { return server_.CountFor("/menu.html") > loads; }));
  ASSERT_TRUE(WaitForLoad(browser, client_->loading.size() - 1));
  QTest::qWait(300);

  menu = RightClick(browser, QPoint(30, 125));
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(client_->menus.back().type_flags & CM_TYPEFLAG_EDITABLE);
  menu->close();

  ASSERT_EQ(Evaluate(browser,
                     "document.activeElement.blur();"
                     "window.getSelection().selectAllChildren(document.getElementById('words'));"
                     "window.getSelection().toString()"),
            "selectable words here");
  menu = RightClick(browser, QPoint(40, 186));
  ASSERT_NE(menu, nullptr);
  const auto& selection = client_->menus.back();
  EXPECT_TRUE(selection.type_flags & CM_TYPEFLAG_SELECTION);
  EXPECT_EQ(selection.selection_text, u"selectable words here");
  menu->close();
}

}  // namespace
}  // namespace tarvo::test
