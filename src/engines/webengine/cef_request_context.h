#pragma once

#include <QPointer>
#include <string>

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"
#include "engines/webengine/cef_value.h"

class QWebEngineProfile;

namespace tarvo::cef {

// A network context of the engine: the global one shared by ordinary browsers (it
// carries the "proxy" preference), or an off-the-record one whose cookies, cache and
// storage live in memory only and go with the context.
// Threads: engine UI thread (the GUI thread); other threads post a CefTask.
class CefRequestContext {
 public:
  static CefRefPtr<CefRequestContext> GetGlobalContext();
  // A new off-the-record context with a profile of its own, shared by the browsers
  // made with it and their pop-ups; its data is dropped once the context and every
  // such browser are gone. nullptr while the engine is not running.
  static CefRefPtr<CefRequestContext> CreateOffTheRecordContext();

  CefRequestContext() = default;
  ~CefRequestContext();
  CefRequestContext(const CefRequestContext&) = delete;
  CefRequestContext& operator=(const CefRequestContext&) = delete;

  bool IsGlobal() const { return !off_the_record_; }
  bool IsOffTheRecord() const { return off_the_record_; }
  // Layer use: the profile the context's browsers are made in (the engine's own
  // profile for the global context); nullptr once the engine has shut down.
  QWebEngineProfile* profile() const;

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
  // Empties the HTTP cache of the global context (asynchronously, in the engine).
  // False when not running.
  bool ClearHttpCache();
  // Forgets which links were visited. False when not running.
  bool ClearVisitedLinks();

 private:
  CefRefPtr<CefValue> proxy_;
  bool off_the_record_ = false;
  QPointer<QWebEngineProfile> own_profile_;  // owned for an off-the-record context
};

}  // namespace tarvo::cef
