// What assistive technology sees of a window: one node per control kind with its role,
// name, state and actions, plain layout boxes left out, and a tree whose parents and
// children agree; and what the keyboard reaches: Tab order, option groups, arrows in
// lists and combos, Space/Return. Menus walked with the keyboard
// are run end to end, over the accessibility bus.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/combo_ui.h"
#include "ui/list_ui.h"
#include "ui/option_ui.h"
#include "ui/slider_ui.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

const char* kFormSkin = R"(<Window size="460,260">
  <VerticalLayout bkcolor="#FFFFFFFF" inset="12,12,12,12" childpadding="8">
    <HorizontalLayout height="28" childpadding="6">
      <Label name="account_lbl" text="Account" width="70"/>
      <Edit name="account" acclabel="account_lbl" bordersize="1" bordercolor="#FFD0D5DD"/>
      <Button name="reload_btn" width="28" tooltip="Reload" bkcolor="#FFE8ECF2"/>
      <Button name="ok_btn" width="60" text="OK" accname="Confirm"/>
    </HorizontalLayout>
    <HorizontalLayout height="28" accrole="tablist" accname="Pages">
      <Option name="tab1" text="One" group="pages" accrole="tab" selected="true" width="60"/>
      <Option name="tab2" text="Two" group="pages" accrole="tab" width="60"/>
      <CheckBox name="remember" text="Remember" width="110"/>
    </HorizontalLayout>
    <HorizontalLayout height="28" childpadding="6">
      <Combo name="engine" width="120" acclabel="account_lbl">
        <ListLabelElement text="First"/>
        <ListLabelElement text="Second"/>
      </Combo>
      <Slider name="volume" width="100" min="0" max="10" value="3" accname="Volume"/>
      <Progress name="done" width="80" value="40" accname="Done"/>
      <Control name="decoration" width="10" bkcolor="#FFEEEEEE"/>
    </HorizontalLayout>
    <List name="rows" height="70" accname="Results">
      <ListLabelElement text="Row A"/>
      <ListLabelElement text="Row B"/>
    </List>
  </VerticalLayout>
</Window>)";

class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(window_.Create(0, "Form", WS_POPUP, 0), 0u);
    ASSERT_TRUE(ShowAndWait(window_));
    window_.GetWidget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.GetWidget()));
  }

  QAccessibleInterface* Node(const char* name) { return window_.FindControl(QString::fromLatin1(name))->GetAccessible(); }
  // A key as a user presses it: to whatever holds the keyboard.
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window_.GetWidget();
    QTest::keyClick(target, key, modifiers);
  }
  QString Focused() {
    CControlUI* control = window_.GetPaintManager().KeyboardControl();
    return control != nullptr ? control->GetName() : QString();
  }

  PackagedSkin skin_{{{"form.xml", kFormSkin}}};
  TestWindow window_{"form.xml"};
};

// Every node's children name it as their parent, all the way down.
void ExpectConsistentTree(QAccessibleInterface* node, int depth = 0) {
  ASSERT_LT(depth, 10);
  for (int i = 0; i < node->childCount(); ++i) {
    QAccessibleInterface* child = node->child(i);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->parent(), node) << child->text(QAccessible::Name).toStdString();
    EXPECT_EQ(node->indexOfChild(child), i);
    ExpectConsistentTree(child, depth + 1);
  }
}

TEST_F(AccessibilityTest, EveryKindOfControlIsANamedNodeWithItsRoleStateAndActions) {
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(window_.GetWidget());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->text(QAccessible::Name), "Form");
  // The layout boxes are no nodes, the tab strip is; the bare decoration is left out.
  QStringList top;
  for (int i = 0; i < window->childCount(); ++i) top << window->child(i)->text(QAccessible::Name);
  EXPECT_EQ(top, QStringList({"Account", "Account", "Reload", "Confirm", "Pages", "Account", "Volume", "Done", "Results"}))
      << top.join('|').toStdString();
  ExpectConsistentTree(window);

  // Role, name and first action of each kind.
  const QString press = QAccessibleActionInterface::pressAction();
  const QString toggle = QAccessibleActionInterface::toggleAction();
  const QString focus = QAccessibleActionInterface::setFocusAction();
  const std::tuple<const char*, QAccessible::Role, const char*, QString> cases[] = {
      {"account_lbl", QAccessible::StaticText, "Account", QString()},
      {"account", QAccessible::EditableText, "Account", focus},
      {"reload_btn", QAccessible::PushButton, "Reload", press},
      {"ok_btn", QAccessible::PushButton, "Confirm", press},
      {"tab1", QAccessible::PageTab, "One", press},
      {"remember", QAccessible::CheckBox, "Remember", toggle},
      {"engine", QAccessible::ComboBox, "Account", press},
      {"volume", QAccessible::Slider, "Volume", QAccessibleActionInterface::increaseAction()},
      {"done", QAccessible::ProgressBar, "Done", QString()},
      {"rows", QAccessible::List, "Results", focus},
  };
  for (const auto& [control, role, name, action] : cases) {
    QAccessibleInterface* node = Node(control);
    EXPECT_EQ(node->role(), role) << control;
    EXPECT_EQ(node->text(QAccessible::Name), name) << control;
    const QStringList actions = node->actionInterface()->actionNames();
    EXPECT_EQ(actions.isEmpty() ? QString() : actions.first(), action) << control;
  }
  EXPECT_TRUE(Node("tab1")->state().selected);
  EXPECT_FALSE(Node("tab2")->state().selected);
  static_cast<CComboUI*>(window_.FindControl("engine"))->SelectItem(0);
  EXPECT_EQ(Node("engine")->text(QAccessible::Value), "First");
  EXPECT_EQ(Node("volume")->valueInterface()->currentValue().toInt(), 3);
  EXPECT_EQ(Node("rows")->child(1)->role(), QAccessible::ListItem);
  EXPECT_EQ(Node("rows")->child(1)->text(QAccessible::Name), "Row B");

  // Actions run from the event loop, as a click would.
  Node("reload_btn")->actionInterface()->doAction(press);
  Node("remember")->actionInterface()->doAction(toggle);
  Node("volume")->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
  Node("rows")->child(1)->actionInterface()->doAction(press);
  EXPECT_TRUE(window_.Of(kNotifyClick).empty());
  QTest::qWait(50);
  ASSERT_FALSE(window_.Of(kNotifyClick).empty());
  EXPECT_EQ(window_.Of(kNotifyClick).front().sender, "reload_btn");
  EXPECT_TRUE(Node("remember")->state().checked);
  EXPECT_EQ(Node("volume")->valueInterface()->currentValue().toInt(), 4);
  EXPECT_TRUE(Node("rows")->child(1)->state().selected);
  EXPECT_EQ(window_.Of(kNotifyItemClick).size(), 1u);
}

TEST_F(AccessibilityTest, TheKeyboardReachesEveryControlInLayoutOrderAndWorksIt) {
  // The window opens with its first field focused; Tab goes round every control in
  // layout order, a group of options being one stop.
  EXPECT_EQ(Focused(), "account");
  const QStringList order = {"reload_btn", "ok_btn", "tab1", "remember", "engine", "volume", "rows", "account"};
  QStringList seen;
  for (int i = 0; i < order.size(); ++i) {
    Press(Qt::Key_Tab);
    seen << Focused();
  }
  EXPECT_EQ(seen, order) << seen.join(' ').toStdString();
  Press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), "rows");

  // Arrows walk the group without choosing; Space chooses.
  window_.FindControl("tab1")->SetFocus();
  Press(Qt::Key_Right);
  EXPECT_EQ(Focused(), "tab2");
  EXPECT_FALSE(static_cast<COptionUI*>(window_.FindControl("tab2"))->IsSelected());
  Press(Qt::Key_Space);
  EXPECT_TRUE(static_cast<COptionUI*>(window_.FindControl("tab2"))->IsSelected());
  // Shift+Tab from a member lands before the group.
  Press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), "ok_btn");
  Press(Qt::Key_Return);
  EXPECT_EQ(window_.Of(kNotifyClick).back().sender, "ok_btn");

  // Combo: arrows choose; the list: arrows choose rows and Return clicks one.
  window_.FindControl("engine")->SetFocus();
  Press(Qt::Key_Down);
  Press(Qt::Key_Down);
  EXPECT_EQ(static_cast<CComboUI*>(window_.FindControl("engine"))->GetCurSel(), 1);
  window_.FindControl("rows")->SetFocus();
  Press(Qt::Key_Down);
  Press(Qt::Key_Down);
  EXPECT_EQ(static_cast<CListUI*>(window_.FindControl("rows"))->GetCurSel(), 1);
  Press(Qt::Key_Return);
  EXPECT_EQ(window_.Of(kNotifyItemClick).size(), 1u);
  window_.FindControl("volume")->SetFocus();
  Press(Qt::Key_End);
  EXPECT_EQ(static_cast<CSliderUI*>(window_.FindControl("volume"))->GetValue(), 10);
}

}  // namespace
}  // namespace tarvo::test
