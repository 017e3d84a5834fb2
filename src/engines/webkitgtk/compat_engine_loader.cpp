#include "engines/webkitgtk/compat_engine_loader.h"

#include <QGuiApplication>
#include <QLibrary>
#include <cstdio>

#include "platform/paths.h"

namespace tarvo::ie {

namespace {
using CreateEngine = CompatEngine* (*)(int interfaceVersion);

// Sets up the engine's module (`name`, beside the executable) before anything loads
// it: its symbols are resolved at once (a missing library shows here, not in the
// middle of a page), and it is never unloaded, not even by Qt's own clean-up as the
// process exits. The engine's threads (and a signal handler of its script engine)
// run until the very end, and took a closing browser down with them once their code
// was gone.
void PrepareModule(QLibrary& module, const char* name) {
  module.setFileName(QString::fromStdString(ExecutableFolder()) + QLatin1String(name));
  module.setLoadHints(QLibrary::ResolveAllSymbolsHint | QLibrary::PreventUnloadHint);
}
}  // namespace

CompatEngine* CompatEngineLoader::Engine() {
  if (!tried_) {
    tried_ = true;
    Load();
    if (engine_ != nullptr) {
      Configure();
    } else {
      std::fprintf(stderr, "tarvo-browser: the compatibility engine could not be loaded: %s\n",
                   qPrintable(error_));
    }
  }
  return engine_;
}

void CompatEngineLoader::Load() {
  // The engine's views are X windows inside the browser's: it needs the browser on
  // an X display (XWayland on a Wayland desktop).
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    error_ = QStringLiteral("it needs the browser on an X11 display (QT_QPA_PLATFORM=xcb); the browser runs on \"%1\"")
                 .arg(QGuiApplication::platformName());
    return;
  }
  QLibrary module;
  PrepareModule(module, kModuleName);
  if (!module.load()) {
    error_ = module.errorString();
    return;
  }
  auto create = reinterpret_cast<CreateEngine>(module.resolve(kEntryName));
  if (create == nullptr) {
    error_ = module.errorString();
    return;
  }
  engine_ = create(CompatEngine::kInterfaceVersion);
  if (engine_ == nullptr) {
    error_ = QStringLiteral("%1 belongs to another build of the browser or could not start its toolkit")
                 .arg(module.fileName());
  }
}

QString CompatEngineLoader::EngineVersion() {
  static const QString version = [] {
    QLibrary module;
    PrepareModule(module, kModuleName);
    using Version = const char* (*)();
    auto version = reinterpret_cast<Version>(module.resolve(kVersionEntryName));
    return version != nullptr ? QString::fromLatin1(version()) : QString();
  }();
  return version;
}

void CompatEngineLoader::Configure() {
  engine_->SetDownloadListener(downloads_);
  engine_->SetCertificateErrorPolicy(certificates_);
  engine_->SetLanguageSource(languages_);
  if (!engine_->IsSandboxed()) {
    std::fprintf(stderr,
                 "tarvo-browser: the compatibility engine's web pages run WITHOUT their sandbox "
                 "(WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS is set)\n");
  }
}

void CompatEngineLoader::SetDownloadListener(CompatDownloadListener* listener) {
  downloads_ = listener;
  if (engine_ != nullptr) engine_->SetDownloadListener(listener);
}

void CompatEngineLoader::SetCertificateErrorPolicy(CompatEngine::CertificateErrorPolicy policy) {
  certificates_ = std::move(policy);
  if (engine_ != nullptr) engine_->SetCertificateErrorPolicy(certificates_);
}

void CompatEngineLoader::SetLanguageSource(CompatEngine::LanguageSource languages) {
  languages_ = std::move(languages);
  if (engine_ != nullptr) engine_->SetLanguageSource(languages_);
}

}  // namespace tarvo::ie
