// The compatibility engine module's one entry: the browser loads this module when
// its first compatibility page opens and asks it for the engine here.
#include "engines/webkitgtk/compat_engine.h"
#include "engines/webkitgtk/webkit_engine.h"

extern "C" __attribute__((visibility("default"))) tarvo::ie::CompatEngine* TarvoCreateCompatEngine(
    int interfaceVersion) {
  if (interfaceVersion != tarvo::ie::CompatEngine::kInterfaceVersion) return nullptr;
  // One engine for the process: GTK starts once.
  static tarvo::ie::WebKitEngine* const engine = tarvo::ie::WebKitEngine::Start();
  return engine;
}
