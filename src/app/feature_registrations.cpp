#include "app/feature_registrations.h"

#include "app/account_commands.h"
#include "app/browsing_data_feature.h"
#include "app/feature_hooks.h"
#include "platform/debug_output.h"
#include "platform/program_launcher.h"
#include "protect/domain_list_sync.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_commands.h"

namespace tarvo {

void FeatureRegistrations::RegisterAll(FeatureHooks& hooks) {
  FeatureCommands& commands = hooks.windows.Features();
  AccountCommands::Register(commands);
  BrowsingDataFeature::Register(hooks);
  // The domain list is read straight from the database by every lookup, so a fresh
  // list needs no reload step of its own.
  hooks.serviceSteps.push_back({"domain list", [] {
                                  if (DomainListSync().SyncDomainList() != 0) {
                                    DebugOutput("service loop: domain list not refreshed");
                                  }
                                }});
  hooks.serviceSteps.push_back({"mirror latency", [] { DomainListSync().MeasureDomainLatency(); }});
  commands.Register(Commands::kMakeDefaultBrowser, [](IBrowserWindow&, const CommandArgs&) {
    if (LaunchDetached("xdg-settings", {"set", "default-web-browser", "tarvo-browser.desktop"}) != 0) {
      DebugOutput("xdg-settings could not be started");
    }
  });
}

}  // namespace tarvo
