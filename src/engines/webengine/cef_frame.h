#pragma once

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBrowser;
class CefStringVisitor;

// A frame of a browser. The main frame is fully served; this engine does not give
// access to sub-frames, so a sub-frame object only names its address (as the
// navigation callbacks report it) and its operations answer false (unsupported).
// Threads: engine UI thread (the GUI thread) only.
class CefFrame {
 public:
  // Layer use. url is kept for sub-frames; the main frame reads its page's address.
  CefFrame(std::weak_ptr<CefBrowser> browser, bool is_main, CefString url);

  bool IsMain() const { return is_main_; }
  // False once the browser is gone.
  bool IsValid() const;
  CefString GetURL() const;
  CefRefPtr<CefBrowser> GetBrowser() const { return browser_.lock(); }

  // Navigates the frame; false when it cannot (sub-frame, browser gone).
  bool LoadURL(const CefString& url);
  // Delivers the frame's HTML to the visitor later; false when it cannot.
  bool GetSource(CefRefPtr<CefStringVisitor> visitor);
  // Runs the script in the frame's page; script_url and start_line only label
  // errors in the engine's log. False when it cannot.
  bool ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line);

 private:
  std::weak_ptr<CefBrowser> browser_;
  const bool is_main_;
  const CefString url_;
};

}  // namespace tarvo::cef
