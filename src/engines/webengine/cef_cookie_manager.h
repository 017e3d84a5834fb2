#pragma once

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

// The engine's cookie store.
// Threads: engine UI thread (the GUI thread).
class CefCookieManager {
 public:
  // The store of the global context; nullptr before CefInitialize.
  static CefRefPtr<CefCookieManager> GetGlobalManager();

  // Keeps cookies (and the engine's other persistent site data) in path, created
  // when missing. With persist_session_cookies, cookies without an expiry survive
  // restarts too. Set it before the first browser is made. False when the folder
  // cannot be created or the engine is not running.
  bool SetStoragePath(const CefString& path, bool persist_session_cookies);
  // Deletes cookies; this engine offers only all of them at once, so `url` and
  // `cookie_name` must be empty. The store forgets them at once and writes the
  // change to its file in the background. False when the engine is not running or
  // a filter was given.
  bool DeleteCookies(const CefString& url, const CefString& cookie_name);
};

}  // namespace tarvo::cef
