#include "browser_controls.h"

#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/list_ui.h"
#include "ui/option_ui.h"
#include "ui/progress_ui.h"

namespace tarvo::test {

using namespace DuiLib;

namespace {

template <class T>
T* AddPart(CContainerUI& parent, const QString& attributes) {
  auto part = std::make_unique<T>();
  part->ApplyAttributeList(attributes);
  return parent.Add(std::move(part));
}

}  // namespace

DownloadRowParts AddRunningDownloadRow(CListUI& list, const QString& fileName, const QString& url,
                                       const QString& status, int percent) {
  DownloadRowParts parts;
  auto* row = AddPart<CVerticalLayoutUI>(list, R"(name="running" height="153")");
  auto* body = AddPart<CHorizontalLayoutUI>(*row, R"(height="152")");
  AddPart<CControlUI>(*body, R"(padding="7,26,0,0" width="32" height="32" bkimage="file='Toolbar\download.png'")");
  AddPart<CLabelUI>(*body, R"(bordersize="1" bordercolor="#FFD4D4D4" width="1" padding="30,15,25,15")");
  auto* column = AddPart<CVerticalLayoutUI>(*body, R"(padding="0,26,0,0")");
  AddPart<CLabelUI>(*column,
                    QString(R"(name="filename" text="%1" height="20" font="1" textcolor="#FF3F70D8")").arg(fileName));
  AddPart<CLabelUI>(*column, QString(R"(name="fileurl" text="%1" textcolor="#FF858585" height="20")").arg(url));
  parts.status = AddPart<CLabelUI>(
      *column, QString(R"(name="status" text="%1" textcolor="#FF858585" padding="0,8,0,0" height="20")").arg(status));
  parts.progress = AddPart<CProgressUI>(
      *column, QString(R"(min="0" max="100" value="%1" padding="0,5,20,9" height="4" bkcolor="#FFDFDFDF" )"
                       R"(foreimage="file='Dialog\progress_fore.png'")")
                   .arg(percent));
  auto* buttons = AddPart<CHorizontalLayoutUI>(*column, R"(padding="0,4,0,10")");
  parts.pause =
      AddPart<CButtonUI>(*buttons, R"(name="dlpause_btn" text="Pause" textcolor="#FF3F70D8" width="30" height="20")");
  AddPart<CButtonUI>(*buttons,
                     R"(name="dlcancel_btn" text="Cancel" textcolor="#FF5A5A5A" width="30" height="20" padding="12,0,0,0")");
  AddPart<CHorizontalLayoutUI>(*row, R"(height="1" bordersize="1" bordercolor="#FFD4D4D4")");
  return parts;
}

void AddTab(CContainerUI& strip, const QString& title, bool selected) {
  auto tab = std::make_unique<CHorizontalLayoutUI>();
  tab->ApplyAttributeList(R"(name="Tab" maxwidth="240")");
  COptionUI* parts[] = {
      AddPart<COptionUI>(
          *tab,
          R"(name="TabOption" tooltip="" normalimage="file='Tabbar\normal_bg.png'" selectedimage="file='Tabbar\selected_bg.png'" hotimage="Tabbar\hot_bg.png" group="tabGroup" padding="0,0,0,4")"),
      AddPart<COptionUI>(
          *tab,
          R"(name="TabIcon" group="tabiconGroup" mouse="false" float="true" pos="5,5,0,0" width="16" height="16" normalimage="file='Tabbar\favicon_tab.png'" selectedimage="file='Tabbar\favicon_selectedtab.png'")"),
      AddPart<COptionUI>(
          *tab,
          R"(name="TabLabel" group="tablblGroup" mouse="false" float="true" pos="30,0,0,0" width="210" height="20" align="left" font="4" selectedtextcolor="#FF1F2329" textcolor="#FF606060")"),
      AddPart<COptionUI>(
          *tab,
          R"(name="TabClose" group="tabcloseGroup" float="true" pos="96, 6, 0, 0" width="16" height="16" normalimage="file='Tabbar\tab_close.png'" hotimage="file='Tabbar\tab_close_hover.png'" selectedimage="file='Tabbar\selectedtab_close.png'")"),
  };
  parts[2]->SetText(title);
  CHorizontalLayoutUI* raw = tab.get();
  strip.AddAt(std::move(tab), strip.GetCount() - 1);
  // The tab strip's own layout of a 200-pixel tab.
  parts[1]->ApplyAttributeList(R"(pos="8,7,0,0")");
  parts[2]->ApplyAttributeList(R"(pos="30,5,0,0" width="150")");
  parts[3]->ApplyAttributeList(R"(pos="176,8,0,0")");
  raw->SetFixedWidth(200);
  for (COptionUI* part : parts) part->Selected(selected, false);
}

}  // namespace tarvo::test
