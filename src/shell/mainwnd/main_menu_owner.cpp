#include "shell/mainwnd/main_menu_owner.h"

#include "account/account_state.h"
#include "settings/settings_keys.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/feature_commands.h"
#include "settings/settings_registry.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/qt_text.h"

namespace tarvo {

IMainMenuOwner::User MainMenuOwner::CurrentUser() const {
  User user;
  const AccountState& state = account_;
  const AccountState::User account = state.CurrentUser();
  const AccountState::Profile profile = state.UserProfile();
  user.loggedIn = !account.id.empty();
  user.nickname = Q(profile.name.empty() ? account.name : profile.name);
  user.token = Q(account.token);
  return user;
}

bool MainMenuOwner::IsAvailable(unsigned command) const { return window_.IsCommandAvailable(command); }

QString MainMenuOwner::UpdateEntryText() const {
  const WString label = features_.LabelOf(Commands::kCheckForUpdate);
  return Q(label.empty() ? SettingsRegistry::Instance().Get(SettingsKeys::kVersion) : label);
}

void MainMenuOwner::OnLanguageChanged() { window_.OnLanguageChanged(); }

}  // namespace tarvo
