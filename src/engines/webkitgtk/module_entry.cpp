// The compatibility engine module's one entry: the browser loads this module when
// its first compatibility page opens and asks it for the engine here.
#include <string>

#include "engines/webkitgtk/compat_engine.h"
#include "engines/webkitgtk/webkit_engine.h"
#include "engines/webkitgtk/gtk_headers.h"

extern "C" __attribute__((visibility("default"))) tarvo::ie::CompatEngine* TarvoCreateCompatEngine(
    int interfaceVersion) {
  if (interfaceVersion != tarvo::ie::CompatEngine::kInterfaceVersion) return nullptr;
  // One engine for the process: GTK starts once.
  static tarvo::ie::WebKitEngine* const engine = tarvo::ie::WebKitEngine::Start();
  return engine;
}

// The WebKitGTK release this module runs on (the library loaded, not the headers it
// was built with); asking starts nothing.
extern "C" __attribute__((visibility("default"))) const char* TarvoCompatEngineVersion() {
  static const std::string version = std::to_string(webkit_get_major_version()) + '.' +
                                     std::to_string(webkit_get_minor_version()) + '.' +
                                     std::to_string(webkit_get_micro_version());
  return version.c_str();
}
