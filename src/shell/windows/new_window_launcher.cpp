#include "shell/windows/new_window_launcher.h"

#include "platform/paths.h"
#include "platform/program_launcher.h"

namespace tarvo {

int NewWindowLauncher::Launch(const std::vector<std::string>& arguments) {
  const std::string self = ExecutablePath();
  if (self.empty()) return -1;
  return LaunchDetached(self, arguments);
}

}  // namespace tarvo
