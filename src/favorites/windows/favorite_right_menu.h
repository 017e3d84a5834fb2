#pragma once
// The favourites bar's right-click menu ("favorrightmenu.xml", built at run time) for
// a bookmark, a folder or the bar's empty end, and what each of its fourteen commands
// does. The empty end's menu greys out the entries that need an item; sorting by
// name is never offered (the bar always shows the document's order) and sorting by
// time is ticked.
//
// Threads: GUI thread. The menu window deletes itself when it closes.
#include <QPoint>
#include <json/value.h>

#include "ui/ui_defs.h"

namespace DuiLib {
class CMenuWnd;
}

namespace tarvo {

class FavoritesStore;
class FavoritesWorker;

class FavoriteRightMenu {
 public:
  // The name of every clickable entry, so the owner can tell them from others.
  static constexpr const char* kEntryName = "favor_right_item";

  enum class Target { kBookmark, kFolder, kEmptyArea };
  enum Command : int {
    kOpenInTab = 1,
    kOpenInWindow = 2,
    kOpenInPrivateWindow = 3,
    kOpenAll = 4,
    kOpenAllInWindow = 5,
    kOpenAllInPrivateWindow = 6,
    kRename = 7,
    kDelete = 8,
    kAddPage = 9,
    kAddFolder = 10,
    kSortByName = 11,
    kSortByTime = 12,
    kManage = 13,
    kHideBar = 14,
  };

  // Opens the menu for `owner` (whose notification listeners hear "itemclick" with
  // the entry as sender and its command as wParam) at `screenPoint`.
  static DuiLib::CMenuWnd* Open(DuiLib::HWND owner, QPoint screenPoint, Target target);
  // Whether `command` is offered, and enabled, for `target`.
  static bool Offers(Target target, int command);
  static bool Enables(Target target, int command);
  // Carries out `command` for `item` (null for the empty end): opening posts to the
  // main window through the bus; deleting runs on `worker`, in `store` (which
  // outlives the worker's tasks).
  static void Perform(int command, const Json::Value& item, FavoritesStore& store, FavoritesWorker& worker);
};

}  // namespace tarvo
