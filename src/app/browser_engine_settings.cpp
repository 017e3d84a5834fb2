#include "app/browser_engine_settings.h"

#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "protect/domain_list.h"

namespace tarvo {

cef::CefSettings BrowserEngineSettings::Build() {
  const SettingsRegistry& registry = SettingsRegistry::Instance();
  cef::CefSettings settings;
  settings.cache_path = registry.GetUtf8(SettingsKeys::kCacheFolder);
  settings.log_file = registry.GetUtf8(SettingsKeys::kEngineLogFile);
  // No user agent of our own: the engine's, which names the Chromium it runs.
  settings.locale = LanguageManager::Instance().GetLocaleTag();
  settings.accept_language = LanguageManager::Instance().GetAcceptLanguage();
  settings.mirror_for_certificate_error = &BrowserEngineSettings::MirrorForCertificateError;
  return settings;
}

std::string BrowserEngineSettings::MirrorForCertificateError(const std::string& url) {
  DomainList& list = DomainList::Instance();
  WString mirror;
  if (url.empty() || !list.IsDomainListEnabled() || !list.FindTarget(Utf8ToWide(url), mirror)) {
    return std::string();
  }
  return WideToUtf8(mirror);
}

}  // namespace tarvo
