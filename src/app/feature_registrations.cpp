#include "app/feature_registrations.h"

#include "app/engine_versions.h"

#include "account/windows/account_feature.h"
#include "downloads/windows/downloads_feature.h"
#include "favorites/windows/favorites_feature.h"
#include "history/windows/history_feature.h"
#include "passwords/windows/passwords_feature.h"
#include "preferences/windows/preferences_commands.h"
#include "protect/windows/protect_feature.h"
#include "session/windows/tab_sleeper.h"
#include "shell/mainwnd/feature_hooks.h"
#include "update/windows/update_feature.h"

namespace tarvo {

void FeatureRegistrations::RegisterAll(FeatureHooks& hooks) {
  // First: the favourites open the service loop's round; the login check and the
  // white list follow, then the domain list and the mirrors.
  FavoritesFeature::Register(hooks);
  AccountFeature::Register(hooks);
  ProtectFeature::Register(hooks);
  // The end's order: unfinished downloads keep their bytes before exit cleaning runs.
  DownloadsFeature::Register(hooks);
  HistoryFeature::Register(hooks);
  PasswordsFeature::Register(hooks);
  PreferencesCommands::Register(hooks);
  TabSleeper::Register(hooks);
  // Last: puts the launch report at the front of the loop's round, the update check
  // at its end.
  UpdateFeature::Register(hooks, [] { return QString::fromStdString(EngineVersions::Describe()).trimmed(); });
}

}  // namespace tarvo
