#pragma once

#include <QString>

#include "engines/webkitgtk/compat_engine.h"

namespace tarvo::ie {

// Brings the compatibility engine into the process when the first compatibility page
// needs it: the engine and its libraries (GTK, WebKitGTK) live in a module of their
// own beside the executable, so a run that only shows Chromium pages never loads or
// initialises them. What the browser tells the engine before it is loaded is kept
// and handed over when it loads.
// Lifetime: made by start-up (tests: by their fixture) and kept until the end of the
// process; the engine it loaded stays loaded.
// Threads: GUI thread only.
class CompatEngineLoader {
 public:
  // The module's path from the executable's folder.
  static constexpr const char* kModuleName = "engines/libtarvo-compat-webkit.so";
  // The module's exported functions: CompatEngine* (int interfaceVersion), and
  // const char* () for the WebKitGTK release it runs on.
  static constexpr const char* kEntryName = "TarvoCreateCompatEngine";
  static constexpr const char* kVersionEntryName = "TarvoCompatEngineVersion";

  // The WebKitGTK release of the module beside the executable, read without
  // starting the engine (no toolkit, no display needed); empty when the module
  // cannot be loaded.
  static QString EngineVersion();

  CompatEngineLoader() = default;
  CompatEngineLoader(const CompatEngineLoader&) = delete;
  CompatEngineLoader& operator=(const CompatEngineLoader&) = delete;

  // The engine, loaded on the first call; nullptr when it cannot be loaded (the
  // reason is in Error() and on standard error, said once).
  CompatEngine* Engine();
  // The engine if it is loaded already; never loads it.
  CompatEngine* LoadedEngine() const { return engine_; }
  const QString& Error() const { return error_; }

  void SetDownloadListener(CompatDownloadListener* listener);
  void SetCertificateErrorPolicy(CompatEngine::CertificateErrorPolicy policy);
  void SetLanguageSource(CompatEngine::LanguageSource languages);

 private:
  void Load();
  void Configure();

  CompatEngine* engine_ = nullptr;  // owned by the module, which is never unloaded
  bool tried_ = false;
  QString error_;
  CompatDownloadListener* downloads_ = nullptr;
  CompatEngine::CertificateErrorPolicy certificates_;
  CompatEngine::LanguageSource languages_;
};

}  // namespace tarvo::ie
