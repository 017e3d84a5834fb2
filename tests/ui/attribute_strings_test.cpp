// The attribute strings the browser's windows build at run time, applied verbatim to
// the control kind they are meant for: the odd ones (blanks in positions, nested
// quotes, user text with quotes, paths with blanks, nested attribute lists, empty
// values that reset) and the rows whose layout depends on them.
#include <gtest/gtest.h>

#include "browser_controls.h"
#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/list_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/option_ui.h"
#include "ui/progress_ui.h"
#include "ui/tree_node_ui.h"
#include "ui/tree_view_ui.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

TEST(AttributeStringsTest, TabStripStrings) {
  CHorizontalLayoutUI strip;
  strip.Add(std::make_unique<CButtonUI>());  // the "new tab" button stays last
  AddTab(strip, "Home", true);
  ASSERT_EQ(strip.GetCount(), 2);
  auto* tab = static_cast<CHorizontalLayoutUI*>(strip.GetItemAt(0));
  EXPECT_EQ(tab->GetName(), "Tab");
  EXPECT_EQ(tab->GetMaxWidth(), 240);
  auto* option = static_cast<COptionUI*>(tab->GetItemAt(0));
  EXPECT_EQ(option->GetGroup(), "tabGroup");
  EXPECT_EQ(option->GetNormalImage(), R"(file='Tabbar\normal_bg.png')");
  EXPECT_EQ(option->GetHotImage(), R"(Tabbar\hot_bg.png)");
  EXPECT_EQ(option->GetPadding(), (RECT{0, 0, 0, 4}));
  EXPECT_TRUE(option->IsSelected());
  auto* icon = static_cast<COptionUI*>(tab->GetItemAt(1));
  EXPECT_FALSE(icon->IsMouseEnabled());
  EXPECT_TRUE(icon->IsFloat());
  EXPECT_EQ(icon->GetFloatOffset(), QPoint(8, 7));
  EXPECT_EQ(icon->GetFixedWidth(), 16);
  auto* label = static_cast<COptionUI*>(tab->GetItemAt(2));
  EXPECT_EQ(label->GetFont(), 4);
  EXPECT_EQ(label->GetTextColor().rgba(), 0xFF606060u);
  EXPECT_EQ(label->GetTextAlign() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
  EXPECT_EQ(label->GetFixedWidth(), 150);
  option->ApplyAttributeList(R"(selected="false")");
  EXPECT_FALSE(option->IsSelected());
}

TEST(AttributeStringsTest, MenuAndFavouritesStrings) {
  CMenuUI panel;
  panel.ApplyAttributeList(
      R"(name="major" width="216" height="216" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")");
  EXPECT_TRUE(panel.IsMajor());
  EXPECT_EQ(panel.GetBkImage(), R"(file='Dialog\menu_bk.png' corner='5,5,5,5')");
  panel.ApplyAttributeList(QString(R"(height="%1")").arg(3 * 48));
  EXPECT_EQ(panel.GetFixedHeight(), 144);
  CMenuElementUI item;
  item.ApplyAttributeList(QString(R"(command="%1" height="48" padding="4,0,4,0")").arg("thailand"));
  EXPECT_EQ(item.GetCommand(), "thailand");

  // A cached icon under a profile folder with a blank in its name.
  CLabelUI pageIcon;
  pageIcon.ApplyAttributeList(QString(R"( pos="2,2,0,0" bkimage="file='%1'")")
                                  .arg("/home/u/.local/share/TarvoBrowser/Picture/a b.ico"));
  EXPECT_EQ(pageIcon.GetBkImage(), R"(file='/home/u/.local/share/TarvoBrowser/Picture/a b.ico')");
  CControlUI line;
  line.ApplyAttributeList(R"(bordersize="1" bordercolor="#FFCCCCCC" height="1")");
  EXPECT_EQ(line.GetBorderSize(), 1);
  EXPECT_EQ(line.GetBorderColor().rgba(), 0xFFCCCCCCu);

  // A folder named with quotes, and the folder look given as an attribute list
  // inside one attribute.
  CTreeViewUI tree;
  auto node = std::make_unique<CTreeNodeUI>();
  node->ApplyAttributeList(QString(R"(width="4096" height="24" text="%1" tag="%2")").arg("Work \"daily\"").arg(42));
  node->SetAttribute("folderattr", R"(normalimage="file='Toolbar\bookmark_folder.png'" padding="5,6,5,6")");
  CTreeNodeUI* raw = tree.Add(std::move(node));
  EXPECT_EQ(raw->GetText(), "Work \"daily\"");
  EXPECT_EQ(raw->GetTag(), 42);
  EXPECT_EQ(raw->GetFolderButton()->GetNormalImage(), R"(file='Toolbar\bookmark_folder.png')");
  EXPECT_EQ(raw->GetFolderButton()->GetPadding(), (RECT{5, 6, 5, 6}));
}

TEST(AttributeStringsTest, DownloadRowAndNodeListButtonsLayOutAndUpdate) {
  CListUI list;
  const DownloadRowParts row =
      AddRunningDownloadRow(list, "report \"final\".pdf", "http://127.0.0.1/a?b=1&c=2",
                            QString::fromUtf8("%1 - %2，%3 %4%5").arg("1.50 KB/s", "12 B", "Total", "3.00 MB", ""), 0);
  list.SetPos(QRect(0, 0, 398, 400));
  EXPECT_EQ(row.status->GetText(), QString::fromUtf8("1.50 KB/s - 12 B，Total 3.00 MB"));
  EXPECT_EQ(row.progress->GetFixedHeight(), 4);
  row.progress->SetValue(250);  // clamped, never past the end
  EXPECT_EQ(row.progress->GetValue(), 100);
  row.pause->ApplyAttributeList(R"(text="Continue")");
  EXPECT_EQ(row.pause->GetText(), "Continue");
  EXPECT_EQ(row.pause->GetPos().width(), 30);
  // The node list's country button: a text padding given as a rectangle.
  CButtonUI combo;
  combo.ApplyAttributeList(R"(name="country_cb_btn" float="true" pos="0,0,312,40" text="China" textpadding="20,0,0,0")");
  EXPECT_EQ(combo.GetTextPadding(), (RECT{20, 0, 0, 0}));
  // The stopped row's download-again button carries no text.
  CButtonUI again;
  again.ApplyAttributeList(R"(name="dldownload_btn" text="" textcolor="#FF3F70D8" width="1" height="20")");
  EXPECT_EQ(again.GetText(), QString());
}

}  // namespace
}  // namespace tarvo::test
