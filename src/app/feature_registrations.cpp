#include "app/feature_registrations.h"

#include "app/account_registration.h"
#include "app/browsing_data_feature.h"
#include "app/feature_hooks.h"
#include "app/update_feature.h"
#include "favorites/windows/favorites_feature.h"
#include "passwords/windows/passwords_feature.h"
#include "platform/debug_output.h"
#include "preferences/windows/preferences_commands.h"
#include "protect/domain_list_sync.h"
#include "protect/windows/sign_and_qr_commands.h"
#include "session/windows/tab_sleeper.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_commands.h"

namespace tarvo {

void FeatureRegistrations::RegisterAll(FeatureHooks& hooks) {
  // First: the favourites open the service loop's round, the login check and the
  // white list follow, all before the domain list.
  FavoritesFeature::Register(hooks.windows, hooks.serviceSteps, hooks.endSteps);
  AccountRegistration::Register(hooks);
  SignAndQrCommands::Register(hooks.windows);
  BrowsingDataFeature::Register(hooks);
  PasswordsFeature::Register(hooks.windows);
  PreferencesCommands::Register(hooks.windows);
  TabSleeper::Register(hooks.windows);
  // The domain list is read straight from the database by every lookup, so a fresh
  // list needs no reload step of its own.
  hooks.serviceSteps.push_back({"domain list", [] {
                                  if (DomainListSync().SyncDomainList() != 0) {
                                    DebugOutput("service loop: domain list not refreshed");
                                  }
                                }});
  hooks.serviceSteps.push_back({"mirror latency", [] { DomainListSync().MeasureDomainLatency(); }});
  // Last: puts the launch report at the front of the loop's round, the update check
  // at its end.
  UpdateFeature::Register(hooks);
}

}  // namespace tarvo
