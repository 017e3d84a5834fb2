#include "account/windows/account_commands.h"

#include <QUrl>

#include "account/account_operations.h"
#include "account/account_state.h"
#include "account/account_task_queue.h"
#include "account/windows/login_wnd.h"
#include "account/windows/account_channels.h"
#include "account/windows/account_language_keys.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/commands/main_window_commands.h"
#include "shell/commands/post_command.h"
#include "shell/mainwnd/feature_commands.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/pages.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/language_texts.h"
#include "store/favorite_journal_records.h"

namespace tarvo {

QString AccountCommands::AccountPageUrl(const QString& userCentre, const QString& token, const QString& language) {
  return userCentre + QStringLiteral("usercenter/personal-center/common/auth?token=") +
         QString::fromLatin1(QUrl::toPercentEncoding(token)) + QStringLiteral("&language=") +
         QString::fromLatin1(QUrl::toPercentEncoding(language));
}

void AccountCommands::Register(FeatureCommands& commands, AccountState& account, AccountTaskQueue& tasks,
                               UserDatabase& database) {
  commands.Register(Commands::kShowLogin, [&account, &tasks, &database](IBrowserWindow& window, const CommandArgs&) {
    LoginWnd login(account, tasks, database);
    login.Run(window.Handle());
    // Back to the main menu the user came from, which now names the user.
    PostCommand(window.Handle(), Commands::kShowMainMenu);
  });
  commands.Register(Commands::kShowAccount, [&account](IBrowserWindow& window, const CommandArgs&) {
    if (!account.IsLoggedIn()) {
      window.RunCommand(Commands::kShowLogin);
      return;
    }
    const QString url = AccountPageUrl(Q(SettingsRegistry::Instance().Get(SettingsKeys::kUserCentre)),
                                       Q(account.CurrentUser().token),
                                       Q(LanguageManager::Instance().GetCurrentLanguage()));
    window.PageList().OpenUrlInNewTab(url.toStdU16String());
  });
  commands.Register(
      Commands::kLogOut,
      [&account, &tasks, &database](IBrowserWindow& window, const CommandArgs&) {
        // Favourites changes the service has not had yet stay in this profile and go
        // when this user logs in again (never under another user): the user decides
        // knowing how many there are.
        const int64_t unsent = FavoriteJournalRecords(database).Count(WideToUtf8(account.CurrentUser().id));
        if (unsent > 0 &&
            !CMessageBox::Show(window.Handle(), LanguageText(AccountLanguageKeys::kUnsentFavorites).arg(unsent), true)) {
          return;
        }
        // Logged out here at once; Logout finds the token among the stored values.
        account.ClearUser();
        tasks.Post([&account, &database] { AccountOperations(account, database).Logout(); });
        // The user-centre pages leave through "mainwnd/logout", posted once.
        AccountChannels::kLogout.Post();
      },
      [&account](IBrowserWindow&) { return account.IsLoggedIn(); });
}

}  // namespace tarvo
