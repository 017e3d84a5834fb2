#pragma once

#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBrowser;

// Results of CefBrowserHost::Find. Threads: engine UI thread (the GUI thread).
class CefFindHandler {
 public:
  virtual ~CefFindHandler() = default;
  // count matches in the page; active_match_ordinal is 1-based, 0 when none.
  virtual void OnFindResult(CefRefPtr<CefBrowser> browser, int identifier, int count, int active_match_ordinal,
                            bool final_update) {
    (void)browser, (void)identifier, (void)count, (void)active_match_ordinal, (void)final_update;
  }
};

}  // namespace tarvo::cef
