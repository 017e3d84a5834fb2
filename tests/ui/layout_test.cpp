// Layout geometry of the box, tab and plain containers, and the range a progress bar
// keeps its value in (a download row fills it from byte counts a server may get wrong).
#include <gtest/gtest.h>

#include "ui/box_layout_ui.h"
#include "ui/progress_ui.h"
#include "ui/tab_layout_ui.h"

namespace DuiLib {
namespace {

CControlUI* AddChild(CContainerUI& box, const char* attributes) {
  auto child = std::make_unique<CControlUI>();
  child->ApplyAttributeList(QString::fromUtf8(attributes));
  return box.Add(std::move(child));
}

TEST(LayoutTest, FixedChildrenKeepSizeTheRestShareEquallyAndHiddenOnesTakeNoRoom) {
  CVerticalLayoutUI box;
  CControlUI* top = AddChild(box, "height=\"40\"");
  CControlUI* a = AddChild(box, "");
  CControlUI* b = AddChild(box, "");
  CControlUI* bottom = AddChild(box, "height=\"20\"");
  CControlUI* hidden = AddChild(box, "height=\"30\" visible=\"false\"");  // takes no room
  box.SetPos(QRect(0, 0, 100, 300));
  EXPECT_EQ(top->GetPos(), QRect(0, 0, 100, 40));
  EXPECT_EQ(a->GetPos(), QRect(0, 40, 100, 120));
  EXPECT_EQ(b->GetPos(), QRect(0, 160, 100, 120));
  EXPECT_EQ(bottom->GetPos(), QRect(0, 280, 100, 20));
  // Shown, it takes its room from the sharing children.
  hidden->SetVisible(true);
  box.SetPos(QRect(0, 0, 100, 300));
  EXPECT_EQ(a->GetPos(), QRect(0, 40, 100, 105));
  EXPECT_EQ(hidden->GetPos(), QRect(0, 270, 100, 30));
}

TEST(LayoutTest, RoundingPixelsGoToTheLastSharingChild) {
  CHorizontalLayoutUI box;
  CControlUI* a = AddChild(box, "");
  CControlUI* b = AddChild(box, "");
  CControlUI* c = AddChild(box, "");
  box.SetPos(QRect(0, 0, 100, 10));
  EXPECT_EQ(a->GetPos().width() + b->GetPos().width() + c->GetPos().width(), 100);
  EXPECT_EQ(c->GetPos().right(), 99);
}

TEST(LayoutTest, PaddingInsetAndChildPaddingTakeTheirRoom) {
  CHorizontalLayoutUI box;
  box.ApplyAttributeList("inset=\"10,5,10,5\" childpadding=\"4\"");
  CControlUI* a = AddChild(box, "width=\"30\" padding=\"2,3,6,0\"");
  CControlUI* b = AddChild(box, "");
  box.SetPos(QRect(0, 0, 200, 50));
  // a: inset 10 + its left padding 2; top inset 5 + padding 3; fills the height less
  // its vertical padding.
  EXPECT_EQ(a->GetPos(), QRect(12, 8, 30, 37));
  // b starts after a's right padding (6) and the child padding (4), and takes the rest.
  EXPECT_EQ(b->GetPos(), QRect(QPoint(12 + 30 + 6 + 4, 5), QPoint(200 - 10 - 1, 5 + 40 - 1)));
}

TEST(LayoutTest, MinAndMaxBoundSharesAndTheOthersShareAgain) {
  // The tab strip: tabs at most 240 wide, the filler takes what they leave.
  CHorizontalLayoutUI strip;
  CControlUI* tab1 = AddChild(strip, "maxwidth=\"240\"");
  CControlUI* tab2 = AddChild(strip, "maxwidth=\"240\"");
  CControlUI* filler = AddChild(strip, "");
  strip.SetPos(QRect(0, 0, 1200, 34));
  EXPECT_EQ(tab1->GetPos().width(), 240);
  EXPECT_EQ(tab2->GetPos().width(), 240);
  EXPECT_EQ(filler->GetPos().width(), 720);
  // Squeezed, they share equally; a minimum is kept even when the box is too small.
  CVerticalLayoutUI column;
  CControlUI* small = AddChild(column, "minheight=\"50\"");
  CControlUI* other = AddChild(column, "");
  column.SetPos(QRect(0, 0, 10, 60));
  EXPECT_EQ(small->GetPos().height(), 50);
  EXPECT_EQ(other->GetPos().height(), 10);
  // A fixed size outside min/max is bounded as well.
  CControlUI* bounded = AddChild(column, "height=\"500\" maxheight=\"30\"");
  column.SetPos(QRect(0, 0, 10, 200));
  EXPECT_EQ(bounded->GetPos().height(), 30);
}

TEST(LayoutTest, FixedCrossSizeAndFloatingChildrenByPos) {
  CHorizontalLayoutUI tab;  // the tab of the tab strip, with its floating parts
  tab.ApplyAttributeList("name=\"Tab\" maxwidth=\"240\"");
  CControlUI* option = AddChild(tab, "name=\"TabOption\" padding=\"0,0,0,4\"");
  CControlUI* icon = AddChild(tab, "float=\"true\" pos=\"5,5,0,0\" width=\"16\" height=\"16\"");
  CControlUI* label = AddChild(tab, "float=\"true\" pos=\"30,0,0,0\" width=\"210\" height=\"20\"");
  CControlUI* close = AddChild(tab, "float=\"true\" pos=\"96, 6, 0, 0\" width=\"16\" height=\"16\"");
  CControlUI* full = AddChild(tab, "float=\"true\" pos=\"0,0,312,40\"");
  tab.SetPos(QRect(100, 10, 200, 34));
  EXPECT_EQ(option->GetPos(), QRect(100, 10, 200, 30));  // floats take no room in the flow
  EXPECT_EQ(icon->GetPos(), QRect(105, 15, 16, 16));
  EXPECT_EQ(label->GetPos(), QRect(130, 10, 210, 20));
  EXPECT_EQ(close->GetPos(), QRect(196, 16, 16, 16));
  EXPECT_EQ(full->GetPos(), QRect(100, 10, 312, 40));
  // Width written before pos is not lost; an empty width removes a fixed width.
  CControlUI* ordered = AddChild(tab, "width=\"26\" float=\"true\" pos=\"1,1,0,0\"");
  EXPECT_EQ(ordered->GetFixedWidth(), 26);
  ordered->ApplyAttributeList("width=\"\"");
  EXPECT_EQ(ordered->GetFixedWidth(), 0);
}

TEST(LayoutTest, ScrollingTabAndPlainContainersPlaceMoveAndRemoveChildrenAndProgressStaysInRange) {
  CVerticalLayoutUI list;
  list.ApplyAttributeList("vscrollbar=\"true\"");
  std::vector<CControlUI*> rows;
  for (int i = 0; i < 10; ++i) rows.push_back(AddChild(list, "height=\"30\""));
  list.SetPos(QRect(0, 0, 100, 100));
  EXPECT_EQ(list.GetScrollRange().height(), 200);
  list.SetScrollPos(QPoint(0, 1000));
  list.SetPos(QRect(0, 0, 100, 100));
  EXPECT_EQ(list.GetScrollPos().y(), 200);
  EXPECT_EQ(rows[9]->GetPos().bottom(), 99);
  // The bar takes its width from the rows.
  EXPECT_LT(rows[0]->GetPos().width(), 100);

  CTabLayoutUI tabs;
  tabs.ApplyAttributeList("selectedid=\"1\"");
  CControlUI* p0 = AddChild(tabs, "name=\"tab_01\"");
  CControlUI* p1 = AddChild(tabs, "name=\"tab_02\"");
  CControlUI* p2 = AddChild(tabs, "name=\"tab_03\"");
  EXPECT_EQ(tabs.GetCurSel(), 1);
  EXPECT_FALSE(p0->IsVisible());
  EXPECT_TRUE(p1->IsVisible());
  EXPECT_TRUE(tabs.SelectItem(p2));
  EXPECT_TRUE(p2->IsVisible());
  EXPECT_FALSE(p1->IsVisible());
  EXPECT_FALSE(tabs.SelectItem(7));
  tabs.SetPos(QRect(0, 0, 80, 60));
  EXPECT_EQ(p2->GetPos(), QRect(0, 0, 80, 60));
  auto detached = tabs.Detach(p0);
  EXPECT_EQ(tabs.GetCurSel(), 1);  // still the third page, now at index 1
  EXPECT_TRUE(p2->IsVisible());

  CHorizontalLayoutUI strip;
  CControlUI* a = AddChild(strip, "name=\"a\"");
  CControlUI* b = AddChild(strip, "name=\"b\"");
  CControlUI* bubble = AddChild(strip, "name=\"bubble\"");
  EXPECT_TRUE(strip.SetItemIndex(bubble, 0));
  EXPECT_EQ(strip.GetItemAt(0), bubble);
  auto moved = strip.Detach(a);
  ASSERT_TRUE(moved);
  EXPECT_EQ(strip.GetCount(), 2);
  EXPECT_TRUE(strip.AddAt(std::move(moved), 99));  // clamped to the end
  EXPECT_EQ(strip.GetItemAt(2), a);
  EXPECT_EQ(strip.GetItemIndex(b), 1);
  EXPECT_FALSE(strip.Remove(nullptr));
  EXPECT_EQ(strip.GetItemAt(-1), nullptr);

  CProgressUI progress;
  progress.SetValue(250);
  EXPECT_EQ(progress.GetValue(), 100);
  progress.SetValue(-5);
  EXPECT_EQ(progress.GetValue(), 0);
  progress.SetValue(40);
  progress.SetMaxValue(30);
  EXPECT_EQ(progress.GetValue(), 30);
}

}  // namespace
}  // namespace DuiLib
