#pragma once

#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBrowser;
class CefContextMenuParams;
class CefFrame;
class CefMenuModel;

// The page's context menu. Threads: engine UI thread (the GUI thread).
class CefContextMenuHandler {
 public:
  virtual ~CefContextMenuHandler() = default;
  // Before the menu shows: the model holds the engine's default items; the handler
  // may clear it and build its own. An empty model shows no menu.
  virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) {
    (void)browser, (void)frame, (void)params, (void)model;
  }
  // An item was chosen. Return true when handled; false leaves it to the engine,
  // which carries out its own command ids (MENU_ID_*) and ignores the rest.
  virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefContextMenuParams> params, int command_id, int event_flags) {
    (void)browser, (void)frame, (void)params, (void)command_id, (void)event_flags;
    return false;
  }
};

}  // namespace tarvo::cef
