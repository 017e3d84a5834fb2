#pragma once
// The language menu ("language.xml"): one item per installed language pack, with
// its flag and name; the item's command is the language's name. Clicks reach the
// owner window as "itemclick" with the item (a CMenuElementUI) as sender.
//
// GUI thread only.
#include <QPoint>

#include "ui/ui_defs.h"

namespace DuiLib {
class CMenuWnd;
}

namespace tarvo {

class LanguageMenu {
 public:
  // Opens the menu for `owner` at `screenTopLeft`. The menu deletes itself when it
  // closes; the returned pointer is valid until then (null when it failed).
  static DuiLib::CMenuWnd* Open(DuiLib::HWND owner, QPoint screenTopLeft);
};

}  // namespace tarvo
