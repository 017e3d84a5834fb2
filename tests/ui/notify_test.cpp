// Notifications raised by real mouse clicks and key presses (Qt Test) on real controls.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/check_box_ui.h"
#include "ui/combo_ui.h"
#include "ui/list_label_element_ui.h"
#include "ui/list_ui.h"
#include "ui/option_ui.h"
#include "ui/tree_node_ui.h"
#include "ui/tree_view_ui.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

const char* kControlsSkin = R"(<Window size="420,360">
  <Font id="0" name="DejaVu Sans" size="12" default="true"/>
  <VerticalLayout inset="8,8,8,8" childpadding="4" bkcolor="#FFFFFFFF">
    <HorizontalLayout height="30" childpadding="4">
      <Button name="btn" text="Button" width="80"/>
      <Option name="opt_a" text="A" group="g" width="50" selected="true"/>
      <Option name="opt_b" text="B" group="g" width="50"/>
      <CheckBox name="chk" text="Check" width="80"/>
      <Button name="disabled_btn" text="Off" width="60" enabled="false"/>
    </HorizontalLayout>
    <Edit name="edit" height="28"/>
    <Edit name="edit2" height="28"/>
    <HorizontalLayout height="40" childpadding="4">
      <RichEdit name="rich"/>
      <RichEdit name="rich_lines" wantreturn="true"/>
    </HorizontalLayout>
    <HorizontalLayout height="120" childpadding="8">
      <List name="list" bordersize="1" bordercolor="#FFCCCCCC">
        <ListLabelElement name="row0" text="Row 0" height="24"/>
        <ListLabelElement name="row1" text="Row 1" height="24"/>
        <ListLabelElement name="row2" text="Row 2" height="24"/>
      </List>
      <TreeView name="tree" bordersize="1" bordercolor="#FFCCCCCC">
        <TreeNode name="folder" text="Folder" height="24">
          <TreeNode name="child" text="Child" height="24"/>
        </TreeNode>
        <TreeNode name="other" text="Other" height="24"/>
      </TreeView>
    </HorizontalLayout>
    <Combo name="combo" height="28" width="160">
      <ListLabelElement text="First"/>
      <ListLabelElement text="Second"/>
    </Combo>
    <Control/>
  </VerticalLayout>
</Window>)";

class NotifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<TestWindow>("controls.xml");
    ASSERT_NE(window_->Create(0, "controls", WS_POPUP, 0), 0u);
    ASSERT_TRUE(ShowAndWait(*window_));
    window_->notifications.clear();
  }
  void Click(const char* name, Qt::MouseButton button = Qt::LeftButton) {
    CControlUI* control = window_->FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    QTest::mouseClick(window_->GetWidget(), button, {}, CentreOf(control));
  }
  std::vector<QString> Senders(const QString& type) const {
    std::vector<QString> out;
    for (const auto& n : window_->Of(type)) out.push_back(n.sender);
    return out;
  }
  PackagedSkin skin_{{{"controls.xml", kControlsSkin}}};
  std::unique_ptr<TestWindow> window_;
};

TEST_F(NotifyTest, ButtonsOptionsAndCheckBoxes) {
  Click("btn");
  Click("disabled_btn");
  EXPECT_EQ(Senders(kNotifyClick), std::vector<QString>({"btn"}));
  Click("btn", Qt::RightButton);
  EXPECT_EQ(Senders(kNotifyRightClick), std::vector<QString>({"btn"}));
  window_->notifications.clear();
  Click("opt_b");
  auto* a = window_->FindControl<COptionUI>("opt_a");
  auto* b = window_->FindControl<COptionUI>("opt_b");
  EXPECT_FALSE(a->IsSelected());
  EXPECT_TRUE(b->IsSelected());
  EXPECT_EQ(Senders(kNotifySelectChanged), std::vector<QString>({"opt_a", "opt_b"}));
  Click("opt_b");  // a selected group member stays selected
  EXPECT_TRUE(b->IsSelected());
  auto* check = window_->FindControl<CCheckBoxUI>("chk");
  Click("chk");
  EXPECT_TRUE(check->GetCheck());
  Click("chk");
  EXPECT_FALSE(check->GetCheck());
  EXPECT_EQ(Senders(kNotifySelectChanged).size(), 4u);
  EXPECT_EQ(window_->Of(kNotifySelectChanged).back().wParam, 0u);
}

TEST_F(NotifyTest, EditsAndMultiLineEditsNotifyFocusTypingAndReturn) {
  // The window may have given the first edit the focus when it was activated.
  window_->GetPaintManager().SetFocus(nullptr);
  window_->notifications.clear();
  Click("edit");
  EXPECT_EQ(Senders(kNotifySetFocus), std::vector<QString>({"edit"}));
  QWidget* field = WaitForFocusWidget(*window_);
  ASSERT_NE(qobject_cast<QLineEdit*>(field), nullptr);
  QTest::keyClicks(field, "ab");
  EXPECT_EQ(Senders(kNotifyTextChanged).size(), 2u);
  EXPECT_EQ(window_->FindControl("edit")->GetText(), "ab");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(Senders(kNotifyReturn), std::vector<QString>({"edit"}));
  // Setting text from code is not an edit by the user.
  window_->FindControl("edit")->SetText("set by code");
  EXPECT_EQ(Senders(kNotifyTextChanged).size(), 2u);
  Click("edit2");
  EXPECT_EQ(Senders(kNotifyKillFocus), std::vector<QString>({"edit"}));
  EXPECT_EQ(Senders(kNotifySetFocus).back(), "edit2");
  // Return is left to the controls: the window stays open.
  EXPECT_NE(window_->GetHWND(), 0u);

  // A multi-line edit sends Return unless it wants it.
  window_->notifications.clear();
  Click("rich");
  field = WaitForFocusWidget(*window_);
  ASSERT_NE(field, nullptr);
  QTest::keyClicks(field, "x");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(Senders(kNotifyReturn), std::vector<QString>({"rich"}));
  EXPECT_EQ(window_->FindControl("rich")->GetText(), "x");
  Click("rich_lines");
  field = WaitForFocusWidget(*window_);
  ASSERT_NE(field, nullptr);
  QTest::keyClicks(field, "a");
  QTest::keyClick(field, Qt::Key_Return);
  QTest::keyClicks(field, "b");
  EXPECT_EQ(window_->FindControl("rich_lines")->GetText(), "a\nb");
  EXPECT_EQ(Senders(kNotifyReturn).size(), 1u);
  EXPECT_EQ(Senders(kNotifySetFocus).back(), "rich_lines");
}

TEST_F(NotifyTest, ListsTreesAndCombosSelectNotifyAndFold) {
  auto* list = window_->FindControl<CListUI>("list");
  Click("row1");
  EXPECT_EQ(list->GetCurSel(), 1);
  ASSERT_EQ(window_->Of(kNotifyItemSelect).size(), 1u);
  EXPECT_EQ(window_->Of(kNotifyItemSelect)[0].sender, "list");
  EXPECT_EQ(window_->Of(kNotifyItemSelect)[0].wParam, 1u);
  EXPECT_EQ(window_->Of(kNotifyItemSelect)[0].lParam, -1);
  EXPECT_EQ(Senders(kNotifyItemClick), std::vector<QString>({"row1"}));
  QTest::mouseDClick(window_->GetWidget(), Qt::LeftButton, {}, CentreOf(window_->FindControl("row2")));
  EXPECT_EQ(Senders(kNotifyItemDbClick), std::vector<QString>({"row2"}));
  Click("row0", Qt::RightButton);
  EXPECT_EQ(Senders(kNotifyItemRightClick), std::vector<QString>({"row0"}));
  EXPECT_EQ(list->GetCurSel(), 0);
  QTest::keyClick(window_->GetWidget(), Qt::Key_Down);
  EXPECT_EQ(list->GetCurSel(), 1);
  // Removing the selected row clears the selection instead of pointing elsewhere.
  list->Remove(window_->FindControl("row1"));
  EXPECT_EQ(list->GetCurSel(), -1);

  window_->notifications.clear();
  auto* combo = window_->FindControl<CComboUI>("combo");
  Click("combo");
  ASSERT_TRUE(combo->IsDropListOpen());
  QWidget* drop = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == QLatin1String("ComboWnd") && top->isVisible()) drop = top;
  }
  ASSERT_NE(drop, nullptr);
  (void)QTest::qWaitForWindowExposed(drop);
  QTest::mouseClick(drop, Qt::LeftButton, {}, QPoint(20, 1 + 24 + 12));
  QTest::qWait(30);
  EXPECT_FALSE(combo->IsDropListOpen());
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(combo->GetText(), "Second");
  ASSERT_EQ(window_->Of(kNotifyItemSelect).size(), 1u);
  EXPECT_EQ(window_->Of(kNotifyItemSelect)[0].sender, "combo");

  window_->notifications.clear();
  auto* folder = window_->FindControl<CTreeNodeUI>("folder");
  auto* child = window_->FindControl<CTreeNodeUI>("child");
  ASSERT_NE(folder, nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->GetParentNode(), folder);
  EXPECT_EQ(child->GetLevel(), 1);
  auto* tree = window_->FindControl<CTreeViewUI>("tree");
  EXPECT_EQ(tree->GetItemIndex(child), tree->GetItemIndex(folder) + 1);
  Click("child");
  EXPECT_EQ(Senders(kNotifyItemClick), std::vector<QString>({"child"}));
  EXPECT_EQ(Senders(kNotifyItemSelect), std::vector<QString>({"tree"}));
  QTest::mouseDClick(window_->GetWidget(), Qt::LeftButton, {}, CentreOf(folder) + QPoint(40, 0));
  EXPECT_EQ(Senders(kNotifyItemDbClick), std::vector<QString>({"folder"}));
  Click("other", Qt::RightButton);
  EXPECT_EQ(Senders(kNotifyItemRightClick), std::vector<QString>({"other"}));
  // The folder button folds the branch.
  QTest::mouseClick(window_->GetWidget(), Qt::LeftButton, {}, CentreOf(folder->GetFolderButton()));
  EXPECT_FALSE(folder->IsExpanded());
  EXPECT_FALSE(child->IsVisible());
  // Nodes added at run time land under their parent; removing a node takes its branch.
  auto added = folder->AddChildNode(std::make_unique<CTreeNodeUI>());
  EXPECT_EQ(tree->GetItemIndex(added), tree->GetItemIndex(child) + 1);
  EXPECT_TRUE(tree->Remove(folder));
  EXPECT_EQ(tree->GetCount(), 1);
}

}  // namespace
}  // namespace tarvo::test
