#include "app/account_commands.h"

#include <QUrl>

#include "account/account_state.h"
#include "bus/bus_channels.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/feature_commands.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/pages.h"
#include "shell/pages/qt_text.h"

namespace tarvo {

QString AccountCommands::AccountPageUrl(const QString& userCentre, const QString& token, const QString& language) {
  return userCentre + QStringLiteral("usercenter/personal-center/common/auth?token=") +
         QString::fromLatin1(QUrl::toPercentEncoding(token)) + QStringLiteral("&language=") +
         QString::fromLatin1(QUrl::toPercentEncoding(language));
}

void AccountCommands::Register(FeatureCommands& commands) {
  commands.Register(Commands::kShowAccount, [](IBrowserWindow& window, const CommandArgs&) {
    if (AccountState::Instance().UserId().empty()) {
      window.RunCommand(Commands::kShowLogin);
      return;
    }
    const QString url = AccountPageUrl(Q(SettingsRegistry::Instance().Get(SettingsKeys::kUserCentre)), QString(),
                                       Q(LanguageManager::Instance().GetCurrentLanguage()));
    window.PageList().OpenUrlInNewTab(url.toStdU16String());
  });
  // The user-centre pages leave through "mainwnd/logout", posted once.
  commands.Register(
      Commands::kLogOut,
      [](IBrowserWindow&, const CommandArgs&) {
        AccountState::Instance().SetUserId(WString());
        BusChannels::kLogout.Post();
      },
      [](IBrowserWindow&) { return !AccountState::Instance().UserId().empty(); });
}

}  // namespace tarvo
