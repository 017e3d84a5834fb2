#include "app/browser_engine_settings.h"

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "protect/domain_list.h"

namespace tarvo {

cef::CefSettings BrowserEngineSettings::Build() {
  const SettingsRegistry& registry = SettingsRegistry::Instance();
  cef::CefSettings settings;
  settings.cache_path = registry.GetUtf8(SettingsKeys::kCacheFolder);
  settings.log_file = registry.GetUtf8(SettingsKeys::kEngineLogFile);
  settings.user_agent = kUserAgent;
  settings.locale = kLocale;
  settings.accept_certificate_error = &BrowserEngineSettings::AcceptsCertificateError;
  return settings;
}

bool BrowserEngineSettings::AcceptsCertificateError(const std::string& url) {
  DomainList& list = DomainList::Instance();
  if (url.empty() || !list.IsDomainListEnabled()) {
    return false;
  }
  WString source;
  return list.MapTargetToSource(Utf8ToWide(url), source);
}

}  // namespace tarvo
