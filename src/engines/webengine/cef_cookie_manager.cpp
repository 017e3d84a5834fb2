#include "engines/webengine/cef_cookie_manager.h"

#include <QDir>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "engines/webengine/engine_context.h"

namespace tarvo::cef {

CefRefPtr<CefCookieManager> CefCookieManager::GetGlobalManager() {
  static const CefRefPtr<CefCookieManager> global = std::make_shared<CefCookieManager>();
  return EngineContext::Instance().running() ? global : nullptr;
}

bool CefCookieManager::SetStoragePath(const CefString& path, bool persist_session_cookies) {
  QWebEngineProfile* profile = EngineContext::Instance().profile();
  if (!EngineContext::Instance().running() || profile == nullptr || path.empty()) {
    return false;
  }
  const QString folder = QString::fromStdU16String(path);
  if (!QDir().mkpath(folder)) {
    return false;
  }
  profile->setPersistentStoragePath(folder);
  profile->setPersistentCookiesPolicy(persist_session_cookies ? QWebEngineProfile::ForcePersistentCookies
                                                              : QWebEngineProfile::AllowPersistentCookies);
  return true;
}

bool CefCookieManager::DeleteCookies(const CefString& url, const CefString& cookie_name) {
  QWebEngineProfile* profile = EngineContext::Instance().profile();
  if (!EngineContext::Instance().running() || profile == nullptr || !url.empty() || !cookie_name.empty()) {
    return false;
  }
  profile->cookieStore()->deleteAllCookies();
  return true;
}

}  // namespace tarvo::cef
