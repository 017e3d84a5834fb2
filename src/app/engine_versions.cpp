#include "app/engine_versions.h"

#include "engines/webengine/chromium_release.h"
#include "engines/webkitgtk/compat_engine_loader.h"

namespace tarvo {

std::string EngineVersions::Chromium() { return cef::ChromiumRelease::Text(); }

std::string EngineVersions::WebKitGtk() {
  const QString version = ie::CompatEngineLoader::EngineVersion();
  return "WebKitGTK " + (version.isEmpty() ? std::string("not available") : version.toStdString());
}

std::string EngineVersions::Describe() { return Chromium() + '\n' + WebKitGtk() + '\n'; }

}  // namespace tarvo
