#pragma once

#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBrowser;

// Loading progress of a browser. Threads: engine UI thread (the GUI thread).
class CefLoadHandler {
 public:
  virtual ~CefLoadHandler() = default;
  // Called when the browser starts and stops loading a main-frame document.
  virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool is_loading, bool can_go_back,
                                    bool can_go_forward) {
    (void)browser, (void)is_loading, (void)can_go_back, (void)can_go_forward;
  }
};

}  // namespace tarvo::cef
