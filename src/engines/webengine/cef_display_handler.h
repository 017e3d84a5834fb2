#pragma once

#include <vector>

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBrowser;

// What a browser shows about its page. Threads: engine UI thread (the GUI thread).
class CefDisplayHandler {
 public:
  virtual ~CefDisplayHandler() = default;
  // The page title changed (may be empty while a new document loads).
  virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) { (void)browser, (void)title; }
  // The page announced its icons; an empty list when the new page has none.
  virtual void OnFaviconURLChange(CefRefPtr<CefBrowser> browser, const std::vector<CefString>& icon_urls) {
    (void)browser, (void)icon_urls;
  }
};

}  // namespace tarvo::cef
