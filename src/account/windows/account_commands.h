#pragma once

#include <QString>

namespace tarvo {

class AccountState;
class AccountTaskQueue;

class FeatureCommands;
class UserDatabase;

// The account's commands of every main window: the login window, the main menu's
// account entry (the user centre's page for a logged-in user, the login window
// otherwise) and log-out, which is available while a user is logged in and ends the
// login at once here (the service hears of it from the account task queue).
//
// Threads: GUI thread.
class AccountCommands {
 public:
  static void Register(FeatureCommands& commands, AccountState& account, AccountTaskQueue& tasks,
                       UserDatabase& database);

  // The user centre's page for a logged-in user: the token and the language are
  // values, not address syntax, so both are percent-encoded.
  static QString AccountPageUrl(const QString& userCentre, const QString& token, const QString& language);
};

}  // namespace tarvo
