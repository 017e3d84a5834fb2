#pragma once

#include <string>

namespace tarvo::cef {

// The Chromium this engine runs: the one the system's Qt WebEngine was built from.
// Threads: any.
class ChromiumRelease {
 public:
  // "Chromium <version> (security patch level <version>), Qt WebEngine <version>".
  static std::string Text();
  // The Chromium release's major number (102 for "102.0.5005.177").
  static int Major();
};

}  // namespace tarvo::cef
