#include "engines/webengine/chromium_release.h"

#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include <cstdlib>

namespace tarvo::cef {

std::string ChromiumRelease::Text() {
  return std::string("Chromium ") + qWebEngineChromiumVersion() + " (security patches " +
         qWebEngineChromiumSecurityPatchVersion() + "), Qt WebEngine " + qWebEngineVersion();
}

int ChromiumRelease::Major() { return std::atoi(qWebEngineChromiumVersion()); }

}  // namespace tarvo::cef
