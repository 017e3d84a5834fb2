#pragma once
// The Chromium engine's process-wide settings for the browser: the cache and log
// locations from the settings registry, the interface
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
  // Settings from "appdata/cache", "appdata/log/cef.file" and the interface language
  // (the language manager is made first).
  static cef::CefSettings Build();

  // The protected site's mirror address stored for url, or empty: mirrors are
  // served under certificates of their own, and the engine accepts a certificate
  // error only where url has that mirror's scheme, host and port.
  static std::string MirrorForCertificateError(const std::string& url);
};

}  // namespace tarvo
