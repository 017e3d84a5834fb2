#include "engines/webengine/chromium_release.h"

#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include <cstdlib>

namespace tarvo::cef {

std::string ChromiumRelease::Text() {
  return std::string("Chromium ") + qWebEngineChromiumVersion() + " (security patch level " +
         qWebEngineChromiumSecurityPatchVersion() + "), Qt WebEngine " + qWebEngineVersion();
}

int ChromiumRelease::Major() { return std::atoi(qWebEngineChromiumVersion()); }

}  // namespace tarvo::cef
