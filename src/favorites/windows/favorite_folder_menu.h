#pragma once
// The menu of a folder button of the favourites bar ("favormenu.xml", built at run
// time): one entry per item of the folder, in order, each with the folder or the
// default page icon and the item's name; an entry's command is the item's id.
//
// Threads: GUI thread. The menu window deletes itself when it closes.
#include <QPoint>
#include <json/value.h>

#include "ui/ui_defs.h"

namespace DuiLib {
class CMenuWnd;
}

namespace tarvo {

class FavoriteFolderMenu {
 public:
  // The name of every entry, so the owner can tell them from others.
  static constexpr const char* kEntryName = "favor_folder_item";
  static constexpr int kEntryHeight = 30;

  // Opens the menu of `folder` for `owner` (whose listeners hear "itemclick" with the
  // entry as sender) at `screenPoint`; null when it could not be made.
  static DuiLib::CMenuWnd* Open(DuiLib::HWND owner, QPoint screenPoint, const Json::Value& folder);
};

}  // namespace tarvo
