#include "app/feature_registrations.h"

#include "app/account_commands.h"
#include "platform/debug_output.h"
#include "platform/program_launcher.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/feature_commands.h"

namespace tarvo {

void FeatureRegistrations::RegisterAll(FeatureCommands& commands) {
  AccountCommands::Register(commands);
  commands.Register(Commands::kMakeDefaultBrowser, [](IBrowserWindow&, const CommandArgs&) {
    if (LaunchDetached("xdg-settings", {"set", "default-web-browser", "tarvo-browser.desktop"}) != 0) {
      DebugOutput("xdg-settings could not be started");
    }
  });
}

}  // namespace tarvo
