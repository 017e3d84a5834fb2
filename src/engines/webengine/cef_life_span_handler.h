#pragma once

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBrowser;
class CefClient;
class CefFrame;

// Births and deaths of browsers. Threads: engine UI thread (the GUI thread).
class CefLifeSpanHandler {
 public:
  virtual ~CefLifeSpanHandler() = default;

  // A page asks for a new browser. Return true to suppress it; return false to let
  // it open with window_info (rewrite it to choose the parent) and client (the
  // opener's client unless replaced). The engine names the target address only
  // with the new browser's first navigation, so target_url is empty here; that
  // navigation reaches OnBeforeBrowse of the new browser, which is announced through
  // OnAfterCreated before it navigates.
  virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                             const CefString& target_frame_name, cef_window_open_disposition_t disposition,
                             bool user_gesture, const CefPopupFeatures& popup_features, CefWindowInfo& window_info,
                             CefRefPtr<CefClient>& client, CefBrowserSettings& settings, bool* no_javascript_access) {
    (void)browser, (void)frame, (void)target_url, (void)target_frame_name, (void)disposition, (void)user_gesture;
    (void)popup_features, (void)window_info, (void)client, (void)settings, (void)no_javascript_access;
    return false;
  }
  // A browser exists and has its window; called once per browser, before its first
  // navigation.
  virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) { (void)browser; }
  // The browser is closing (CloseBrowser or the page's window.close()). Return false
  // to let the layer destroy the window; return true when the client destroys it
  // itself (deleting the window handle).
  virtual bool DoClose(CefRefPtr<CefBrowser> browser) {
    (void)browser;
    return false;
  }
  // The browser's window is gone; the browser reports IsValid() false from now on.
  virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) { (void)browser; }
};

}  // namespace tarvo::cef
