#pragma once
// What the browser's two engines are, so a user can see at a glance how current they
// are: "--version" prints it, and the about text shows it.
//
// Threads: any; the compatibility engine's module is loaded (not started) on the
// first call.
#include <string>

namespace tarvo {

class EngineVersions {
 public:
  // The Chromium release and its security patch level as Qt WebEngine reports
  // them, with that Qt WebEngine's version.
  static std::string Chromium();
  // The WebKitGTK release the compatibility engine runs on; "not available" when its
  // module cannot be loaded.
  static std::string WebKitGtk();
  // Both, one line each.
  static std::string Describe();
};

}  // namespace tarvo
