#pragma once

#include <string>

#include "engines/cef/cef_string.h"
#include "engines/cef/cef_types.h"
#include "engines/cef/cef_value.h"

namespace tarvo::cef {

// The engine's network context shared by all browsers; it carries the "proxy"
// preference.
// Threads: engine UI thread (the GUI thread); other threads post a CefTask.
class CefRequestContext {
 public:
  static CefRefPtr<CefRequestContext> GetGlobalContext();

  // True for "proxy" while the engine runs: the one preference this engine offers.
  bool CanSetPreference(const std::string& name) const;
  bool HasPreference(const std::string& name) const;
  // The value the engine follows: the last one set (also while the engine is still
  // taking it in, or when it did not confirm in time), or nullptr.
  CefRefPtr<CefValue> GetPreference(const std::string& name) const;
  // Sets "proxy" to a dictionary {"mode", "server"} (see ProxySwitcher::Parse).
  // Returns only once the engine has taken the change in: every request started
  // after a true result uses the new setting. False with a reason in error for an
  // unknown preference, a malformed value, or an engine that did not confirm.
  bool SetPreference(const std::string& name, CefRefPtr<CefValue> value, CefString& error);
  // Empties the HTTP cache (asynchronously, in the engine). False when not running.
  bool ClearHttpCache();
  // Forgets which links were visited. False when not running.
  bool ClearVisitedLinks();

 private:
  CefRefPtr<CefValue> proxy_;
};

}  // namespace tarvo::cef
