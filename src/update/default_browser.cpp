#include "update/default_browser.h"

#include "platform/debug_output.h"
#include "platform/program_launcher.h"

namespace tarvo {

DefaultBrowser::Result DefaultBrowser::Make() {
  const int status = RunAndWait("xdg-settings", {"set", "default-web-browser", kDesktopEntry}, kLimitSeconds);
  if (status == 0) return Result::kDone;
  DebugOutput("xdg-settings set default-web-browser ended with " + std::to_string(status));
  return status == kProgramNotStarted || status == 127 ? Result::kToolMissing : Result::kRefused;
}

}  // namespace tarvo
