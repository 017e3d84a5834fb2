#include "app/engine_data_cleaner.h"

#include "engines/cef/cef_cookie_manager.h"
#include "engines/cef/cef_request_context.h"
#include "engines/ie/compat_network.h"
#include "engines/ie/persistent_cookie_jar.h"

namespace tarvo {

void EngineDataCleaner::ClearCookies() {
  if (auto cookies = cef::CefCookieManager::GetGlobalManager()) cookies->DeleteCookies({}, {});
  if (compat_.cookie_jar() != nullptr) compat_.cookie_jar()->Clear();
}

void EngineDataCleaner::ClearCache() {
  cef::CefRequestContext::GetGlobalContext()->ClearHttpCache();
  compat_.ClearCaches();
}

void EngineDataCleaner::ClearVisitedLinks() { cef::CefRequestContext::GetGlobalContext()->ClearVisitedLinks(); }

void EngineDataCleaner::ClearCredentials() { compat_.ClearCaches(); }

}  // namespace tarvo
