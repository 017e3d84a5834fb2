#pragma once
// Starts another browser process of our own executable, detached: the "new window"
// and "new incognito window" entries and keys. Any thread.
#include <string>
#include <vector>

namespace tarvo {

class NewWindowLauncher {
 public:
  // Starts the executable with `arguments` (none for a plain new window). 0 once
  // started, -1 when it could not be started.
  static int Launch(const std::vector<std::string>& arguments = {});
};

}  // namespace tarvo
