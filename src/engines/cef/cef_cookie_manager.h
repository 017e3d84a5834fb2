#pragma once

#include "engines/cef/cef_string.h"
#include "engines/cef/cef_types.h"

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
};

}  // namespace tarvo::cef
