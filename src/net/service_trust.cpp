#include "net/service_trust.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

#include "net/http_url.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo {

namespace {

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

bool ServiceTrust::IsServiceHost(const HttpUrl& url) {
  if (!url.secure()) return false;
  const std::optional<HttpUrl> service = HttpUrl::Parse(SettingsRegistry::Instance().GetUtf8(SettingsKeys::kApiUrl));
  return service && LowerCase(service->host()) == LowerCase(url.host());
}

void ServiceTrust::Apply(const CurlLibrary& library, CURL* curl) {
  // The file replaces the system's bundle; the system's folder (libcurl's CA path)
  // stays, so both are trusted. Without a brand file only the folder is read.
  const std::string file = SettingsRegistry::Instance().GetUtf8(SettingsKeys::kServiceCaFile);
  library.SetOption(curl, CURLOPT_CAINFO, file.empty() ? nullptr : file.c_str());
}

}  // namespace tarvo
