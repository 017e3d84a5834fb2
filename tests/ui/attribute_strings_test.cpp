// Every attribute string the browser's windows build at run time, applied verbatim to
// the control kind it is meant for.
#include <QPainter>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/list_container_element_ui.h"
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

QString Printf(const char* format, const QString& value) { return QString::fromUtf8(format).arg(value); }

TEST(AttributeStringsTest, TabStripStrings) {
  CHorizontalLayoutUI tab;
  tab.ApplyAttributeList(R"(name="Tab" maxwidth="240")");
  EXPECT_EQ(tab.GetName(), "Tab");
  EXPECT_EQ(tab.GetMaxWidth(), 240);

  COptionUI option;
  option.ApplyAttributeList(
      R"(name="TabOption" tooltip="" normalimage="file='Tabbar\normal_bg.png'" selectedimage="file='Tabbar\selected_bg.png'" hotimage="Tabbar\hot_bg.png" group="tabGroup" padding="0,0,0,4")");
  EXPECT_EQ(option.GetName(), "TabOption");
  EXPECT_EQ(option.GetGroup(), "tabGroup");
  EXPECT_EQ(option.GetNormalImage(), R"(file='Tabbar\normal_bg.png')");
  EXPECT_EQ(option.GetHotImage(), R"(Tabbar\hot_bg.png)");
  EXPECT_EQ(option.GetPadding(), (RECT{0, 0, 0, 4}));

  COptionUI icon;
  icon.ApplyAttributeList(
      R"(name="TabIcon" group="tabiconGroup" mouse="false" float="true" pos="5,5,0,0" width="16" height="16" normalimage="file='Tabbar\favicon_tab.png'" selectedimage="file='Tabbar\favicon_selectedtab.png'")");
  EXPECT_FALSE(icon.IsMouseEnabled());
  EXPECT_TRUE(icon.IsFloat());
  EXPECT_EQ(icon.GetFloatOffset(), QPoint(5, 5));
  EXPECT_EQ(icon.GetFixedWidth(), 16);

  COptionUI label;
  label.ApplyAttributeList(
      R"(name="TabLabel" group="tablblGroup" mouse="false" float="true" pos="30,0,0,0" width="210" height="20" align="left" font="4" selectedtextcolor="#FFFFFFFF" textcolor="#FF606060")");
  EXPECT_EQ(label.GetFont(), 4);
  EXPECT_EQ(label.GetTextColor().rgba(), 0xFF606060u);
  EXPECT_EQ(label.GetTextAlign() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
  EXPECT_EQ(label.GetFixedWidth(), 210);

  COptionUI close;
  close.ApplyAttributeList(
      R"(name="TabClose" group="tabcloseGroup" float="true" pos="96, 6, 0, 0" width="16" height="16" normalimage="file='Tabbar\tab_close.png'" hotimage="file='Tabbar\tab_close_hover.png'" selectedimage="file='Tabbar\selectedtab_close.png'")");
  EXPECT_EQ(close.GetFloatOffset(), QPoint(96, 6));
  EXPECT_EQ(close.GetFixedHeight(), 16);

  // Pinning and selection strings.
  tab.ApplyAttributeList(R"(width="26")");
  EXPECT_EQ(tab.GetFixedWidth(), 26);
  tab.ApplyAttributeList(R"(width="")");
  EXPECT_EQ(tab.GetFixedWidth(), 0);
  option.ApplyAttributeList(R"(selected="true")");
  EXPECT_TRUE(option.IsSelected());
  option.ApplyAttributeList(R"(selected="false")");
  EXPECT_FALSE(option.IsSelected());
  icon.ApplyAttributeList(
      R"(normalimage="file='Tabbar\favicon_tab.png'" selectedimage="file='Tabbar\favicon_selectedtab.png'")");
  EXPECT_EQ(icon.GetNormalImage(), R"(file='Tabbar\favicon_tab.png')");
  CControlUI gap;
  gap.ApplyAttributeList(R"(height="1")");
  EXPECT_EQ(gap.GetFixedHeight(), 1);
  gap.ApplyAttributeList(R"(height="10")");
  EXPECT_EQ(gap.GetFixedHeight(), 10);
}

TEST(AttributeStringsTest, MenuStrings) {
  CMenuUI panel;
  panel.ApplyAttributeList(
      R"(name="major" width="216" height="216" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")");
  EXPECT_TRUE(panel.IsMajor());
  EXPECT_EQ(panel.GetFixedWidth(), 216);
  EXPECT_EQ(panel.GetBkImage(), R"(file='Dialog\menu_bk.png' corner='5,5,5,5')");
  panel.ApplyAttributeList(QString(R"(height="%1")").arg(3 * 48));
  EXPECT_EQ(panel.GetFixedHeight(), 144);

  auto item = std::make_unique<CMenuElementUI>();
  item->ApplyAttributeList(Printf(R"(command="%1" height="48" padding="4,0,4,0")", "thailand"));
  EXPECT_EQ(item->GetCommand(), "thailand");
  EXPECT_EQ(item->GetFixedHeight(), 48);
  CControlUI flag;
  flag.ApplyAttributeList(QString(R"(pos="2,2,0,0" width="18" height="18" bkimage="file='Language\flag_)") + "usa" +
                          R"(.png'")");
  EXPECT_EQ(flag.GetBkImage(), R"(file='Language\flag_usa.png')");
  EXPECT_EQ(flag.GetFixedWidth(), 18);
  CControlUI spacer;
  spacer.ApplyAttributeList(R"(width="12")");
  EXPECT_EQ(spacer.GetFixedWidth(), 12);
  CLabelUI text;
  text.ApplyAttributeList(R"(mouse="false" width="240")");
  EXPECT_FALSE(text.IsMouseEnabled());
  CControlUI photo;
  photo.SetBkImage("file='Dialog\\menu_user_disable.png'");
  EXPECT_FALSE(photo.GetBkImage().isEmpty());
}

TEST(AttributeStringsTest, FavouritesStrings) {
  CButtonUI button;
  button.ApplyAttributeList(
      R"(name="favor_menu_btn" align="left" hotimage="file='Toolbar\favorbar_item_hover.png'" padding="0,2,0,2")");
  EXPECT_EQ(button.GetName(), "favor_menu_btn");
  EXPECT_EQ(button.GetPadding(), (RECT{0, 2, 0, 2}));
  CLabelUI folderIcon;
  folderIcon.ApplyAttributeList(
      R"(float="true" mouse="false" pos="4,9,0,0" width="16" height="16" bkimage="file='Toolbar\bookmark_folder.png'")");
  EXPECT_EQ(folderIcon.GetFloatOffset(), QPoint(4, 9));
  CLabelUI pageIcon;
  pageIcon.ApplyAttributeList(R"( pos="2,2,0,0" width="16" height="16" bkimage="file='Tabbar\favicon_newtab.png'")");
  EXPECT_EQ(pageIcon.GetBkImage(), R"(file='Tabbar\favicon_newtab.png')");
  pageIcon.ApplyAttributeList(Printf(R"(bkimage="file='%1'")", "/home/u/.local/share/TarvoBrowser/Picture/a b.ico"));
  EXPECT_EQ(pageIcon.GetBkImage(), R"(file='/home/u/.local/share/TarvoBrowser/Picture/a b.ico')");
  CLabelUI textLabel;
  textLabel.ApplyAttributeList(QString(R"(float="true" mouse="false" pos="28,0,0,0" width="%1" height="31")").arg(87));
  EXPECT_EQ(textLabel.GetFixedWidth(), 87);
  EXPECT_EQ(textLabel.GetFixedHeight(), 31);
  CControlUI filler;
  filler.ApplyAttributeList(R"(name="__white_space__" tag="0")");
  EXPECT_EQ(filler.GetName(), "__white_space__");

  CMenuUI right;
  right.ApplyAttributeList(
      R"(name="major" width="250" height="350" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")");
  EXPECT_EQ(right.GetFixedHeight(), 350);
  CMenuElementUI entry;
  entry.ApplyAttributeList(QString(R"(command="%1" height="30" padding="4,0,4,0")").arg(12));
  EXPECT_EQ(entry.GetCommand(), "12");
  CLabelUI cell;
  cell.ApplyAttributeList(R"(mouse="false" padding="4,3,4,3" width="24" height="24" )");
  EXPECT_EQ(cell.GetFixedWidth(), 24);
  CLabelUI folderCell;
  folderCell.ApplyAttributeList(
      R"(mouse="false" padding="4,9,4,9" width="16" height="12" bkimage="file='Toolbar\bookmark_folder.png'")");
  EXPECT_EQ(folderCell.GetFixedHeight(), 12);
  CLabelUI disabled;
  disabled.ApplyAttributeList(R"(mouse="false" textcolor="#FFCCCCCC" width="240")");
  EXPECT_EQ(disabled.GetTextColor().rgba(), 0xFFCCCCCCu);
  CMenuElementUI separator;
  separator.ApplyAttributeList(QString(R"(command="%1" height="4")").arg(0));
  CControlUI line;
  line.ApplyAttributeList(R"(bordersize="1" bordercolor="#FFCCCCCC" height="1")");
  EXPECT_EQ(line.GetBorderSize(), 1);
  EXPECT_EQ(line.GetBorderColor().rgba(), 0xFFCCCCCCu);
}

TEST(AttributeStringsTest, FavouritesTreeStrings) {
  CTreeViewUI tree;
  auto node = std::make_unique<CTreeNodeUI>();
  node->ApplyAttributeList(QString(R"(width="4096" height="24" text="%1" tag="%2")").arg("Work \"daily\"").arg(42));
  // The folder look is one attribute whose value is itself an attribute list.
  node->SetAttribute("folderattr", R"(normalimage="file='Toolbar\bookmark_folder.png'" padding="5,6,5,6")");
  CTreeNodeUI* raw = tree.Add(std::move(node));
  EXPECT_EQ(raw->GetText(), "Work \"daily\"");
  EXPECT_EQ(raw->GetTag(), 42);
  EXPECT_EQ(raw->GetFixedWidth(), 4096);
  EXPECT_EQ(raw->GetFolderButton()->GetNormalImage(), R"(file='Toolbar\bookmark_folder.png')");
  EXPECT_EQ(raw->GetFolderButton()->GetPadding(), (RECT{5, 6, 5, 6}));
  CLabelUI editor;
  editor.ApplyAttributeList(R"(bordersize="1" bordercolor="#FF0000FF")");
  EXPECT_EQ(editor.GetBorderColor().rgba(), 0xFF0000FFu);
  CMenuUI one;
  one.ApplyAttributeList(
      R"(name="major" width="120" height="28" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")");
  EXPECT_EQ(one.GetFixedWidth(), 120);
}

TEST(AttributeStringsTest, DownloadRowStrings) {
  // The running row, built as the download window builds it, then laid out.
  CListUI list;
  auto row = std::make_unique<CVerticalLayoutUI>();
  row->ApplyAttributeList(R"(name="running" height="153")");
  auto body = std::make_unique<CHorizontalLayoutUI>();
  body->ApplyAttributeList(R"(height="152")");
  auto icon = std::make_unique<CControlUI>();
  icon->ApplyAttributeList(R"(padding="7,26,0,0" width="32" height="32")");
  auto divider = std::make_unique<CLabelUI>();
  divider->ApplyAttributeList(R"(bordersize="1" bordercolor="#FFD4D4D4" width="1" padding="30,15,25,15")");
  auto column = std::make_unique<CVerticalLayoutUI>();
  column->ApplyAttributeList(R"(padding="0,26,0,0")");
  auto name = std::make_unique<CLabelUI>();
  name->ApplyAttributeList(Printf(R"(name="filename" text="%1" height="20" font="1" textcolor="#FF3F70D8")", "report \"final\".pdf"));
  auto url = std::make_unique<CLabelUI>();
  url->ApplyAttributeList(Printf(R"(name="fileurl" text="%1" textcolor="#FF858585" height="20")", "http://127.0.0.1/a?b=1&c=2"));
  auto status = std::make_unique<CLabelUI>();
  status->ApplyAttributeList(QString::fromUtf8(R"(name="status" text="%1 - %2，%3 %4%5" textcolor="#FF858585" padding="0,8,0,0" height="20")")
                                 .arg("1.50 KB/s", "12 B", "Total", "3.00 MB", ""));
  auto progress = std::make_unique<CProgressUI>();
  progress->ApplyAttributeList(
      R"(min="0" max="100" value="0" padding="0,5,20,9" height="4" bkcolor="#FFDFDFDF" foreimage="file='Dialog\progress_fore.png'")");
  auto buttons = std::make_unique<CHorizontalLayoutUI>();
  buttons->ApplyAttributeList(R"(padding="0,4,0,10")");
  auto pause = std::make_unique<CButtonUI>();
  pause->ApplyAttributeList(QString(R"(name="dlpause_btn" text=")") + "Pause" +
                            R"(" textcolor="#FF3F70D8" width="30" height="20")");
  auto cancel = std::make_unique<CButtonUI>();
  cancel->ApplyAttributeList(QString(R"(name="dlcancel_btn" text=")") + "Cancel" +
                             R"(" textcolor="#FF5A5A5A" width="30" height="20" padding="12,0,0,0")");
  CButtonUI* pauseRaw = buttons->Add(std::move(pause));
  buttons->Add(std::move(cancel));
  CLabelUI* statusRaw = column->Add(std::move(status));
  CProgressUI* progressRaw;
  column->Add(std::move(name));
  column->Add(std::move(url));
  progressRaw = column->Add(std::move(progress));
  column->Add(std::move(buttons));
  body->Add(std::move(icon));
  body->Add(std::move(divider));
  body->Add(std::move(column));
  row->Add(std::move(body));
  auto separator = std::make_unique<CHorizontalLayoutUI>();
  separator->ApplyAttributeList(R"(height="1" bordersize="1" bordercolor="#FFD4D4D4")");
  row->Add(std::move(separator));
  list.Add(std::move(row));
  list.SetPos(QRect(0, 0, 398, 400));
  EXPECT_EQ(statusRaw->GetText(), QString::fromUtf8("1.50 KB/s - 12 B，Total 3.00 MB"));
  EXPECT_EQ(progressRaw->GetFixedHeight(), 4);
  progressRaw->SetValue(250);  // clamped, never past the end
  EXPECT_EQ(progressRaw->GetValue(), 100);
  pauseRaw->ApplyAttributeList(QString(R"(text=")") + "Continue" + R"(")");
  EXPECT_EQ(pauseRaw->GetText(), "Continue");
  EXPECT_EQ(pauseRaw->GetPos().width(), 30);

  // The stopped row's buttons.
  CButtonUI open, exec, del, again;
  open.ApplyAttributeList(QString(R"(name="dlopendir_btn" text=")") + "Show in folder" +
                          R"(" textcolor="#FF3F70D8" width="119" height="20" align="left")");
  exec.ApplyAttributeList(QString(R"(name="dlexecfile_btn" text=")") + "Open" + R"(" textcolor="#FF3F70D8" width="50" height="20")");
  del.ApplyAttributeList(QString(R"(name="dldelfile_btn" text=")") + "Delete" + R"(" textcolor="#FF3F70D8" width="50" height="20")");
  again.ApplyAttributeList(R"(name="dldownload_btn" text="" textcolor="#FF3F70D8" width="1" height="20")");
  EXPECT_EQ(open.GetFixedWidth(), 119);
  EXPECT_EQ(again.GetText(), QString());
  CVerticalLayoutUI stopped;
  stopped.ApplyAttributeList(R"(name="stop" height="106")");
  EXPECT_EQ(stopped.GetFixedHeight(), 106);
}

TEST(AttributeStringsTest, NodeListStrings) {
  CListContainerElementUI row;
  row.SetName("list_layout");
  row.ApplyAttributeList(R"(height="40" bkcolor="#FFF4F4F4" bordersize="1" bordercolor="#FFD4D4D4")");
  EXPECT_EQ(row.GetBkColor().rgba(), 0xFFF4F4F4u);
  CControlUI flag;
  flag.ApplyAttributeList(Printf(R"(width="25" height="25" bkimage="file='Dialog\%1'" mouse="false")", "CN.png"));
  EXPECT_EQ(flag.GetBkImage(), R"(file='Dialog\CN.png')");
  CLabelUI country, count, area;
  country.ApplyAttributeList(R"(font="3" textcolor="#FF282828" mouse="false")");
  count.ApplyAttributeList(R"(font="4" textcolor="#FF828282" width="120")");
  area.ApplyAttributeList(R"(font="3" textcolor="#FF282828" mouse="false" width="160")");
  EXPECT_EQ(country.GetFont(), 3);
  EXPECT_EQ(count.GetFixedWidth(), 120);
  CControlUI house;
  house.ApplyAttributeList(R"(width="25" height="25" bkimage="file='Dialog\house.png'" mouse="false")");
  CButtonUI over;
  over.ApplyAttributeList(R"(name="button_name" float="true" pos="0,0,312,40")");
  EXPECT_EQ(over.GetFixedWidth(), 312);
  EXPECT_EQ(over.GetFixedHeight(), 40);
  CButtonUI combo;
  combo.ApplyAttributeList(QString(R"(name="country_cb_btn" float="true" pos="0,0,312,40")") +
                           R"( text="China" textpadding="20,0,0,0" font="1")");
  EXPECT_EQ(combo.GetText(), "China");
  EXPECT_EQ(combo.GetTextPadding(), (RECT{20, 0, 0, 0}));
  CButtonUI areaCombo;
  areaCombo.ApplyAttributeList(R"(name="area_cb_btn" float="true" pos="0,0,312,40")");
  EXPECT_EQ(areaCombo.GetName(), "area_cb_btn");
  CLabelUI qr;
  qr.ApplyAttributeList(QString("bkimage=\"file='") + "/tmp/x y/qrcode.png" + "'\"");
  EXPECT_EQ(qr.GetBkImage(), "file='/tmp/x y/qrcode.png'");
}

}  // namespace
}  // namespace tarvo::test
