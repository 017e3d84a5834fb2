#pragma once
// The Chromium engine's process-wide settings for the browser: the cache and log
// locations from the settings registry, the browser's user agent, the interface
// language (the engine's own texts and the Accept-Language), and which certificate
// errors are accepted.
//
// Threads: Build on the first thread after InitSettings; the certificate answer
// runs on the GUI thread (it reads the domain list, which any thread may read).
#include <string>

#include "engines/webengine/cef_types.h"

namespace tarvo {

class BrowserEngineSettings {
 public:
  // A desktop Chrome user agent for Linux matching the engine's Chromium, so sites
  // serve their ordinary desktop pages.
  static constexpr const char* kUserAgent =
      "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/87.0.4280.144 "
      "Safari/537.36";

  // Settings from "appdata/cache", "appdata/log/cef.file" and the interface language
  // (the language manager is made first).
  static cef::CefSettings Build();

  // The protected site's mirror address stored for url, or empty: mirrors are
  // served under certificates of their own, and the engine accepts a certificate
  // error only where url has that mirror's scheme, host and port.
  static std::string MirrorForCertificateError(const std::string& url);
};

}  // namespace tarvo
