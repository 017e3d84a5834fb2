#include "update/windows/update_feature.h"

#include <memory>

#include "shell/mainwnd/feature_hooks.h"
#include "platform/debug_output.h"
#include "platform/error_message.h"
#include "update/default_browser.h"
#include "update/launch_report.h"
#include "update/pending_installer.h"
#include "update/update_check.h"
#include "update/windows/update_commands.h"

namespace tarvo {

void UpdateFeature::Register(FeatureHooks& hooks, std::function<QString()> engines) {
  const UpdateSettings settings = UpdateSettings::ForThisBrowser();
  auto check = std::make_shared<UpdateCheck>(settings);
  auto report = std::make_shared<LaunchReport>(settings.brand, settings.ownVersion);
  hooks.serviceSteps.insert(hooks.serviceSteps.begin(), {"launch report", [report] { report->Send(); }});
  hooks.serviceSteps.push_back({"update check", [check] {
                                  DebugOutput(std::string("update check: ") + OutcomeName(check->CheckForUpdate()));
                                }});
  UpdateCommands::Register(hooks.windows, check, settings, hooks.endSteps, std::move(engines));
}

void UpdateFeature::MakeDefaultFromCommandLine() {
  switch (DefaultBrowser::Make()) {
    case DefaultBrowser::Result::kDone:
      return;
    case DefaultBrowser::Result::kToolMissing:
      ErrorMessage::Show("xdg-settings is not installed, so the default browser cannot be changed.");
      return;
    case DefaultBrowser::Result::kRefused:
      ErrorMessage::Show("The desktop did not accept TarvoBrowser as its default browser; is the package installed?");
      return;
  }
}

bool UpdateFeature::RunPendingInstaller(bool checkUpdates) {
  const UpdateSettings settings = UpdateSettings::ForThisBrowser();
  return PendingInstaller::Run(UpdateCheck(settings), settings, checkUpdates);
}

}  // namespace tarvo
