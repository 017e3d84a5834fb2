#pragma once
// The account's commands until the account's own windows exist: the main menu's
// account entry (the user centre's page for a logged-in user, the login window
// otherwise) and log-out.
//
// Threads: GUI thread.
#include <QString>

namespace tarvo {

class FeatureCommands;

class AccountCommands {
 public:
  static void Register(FeatureCommands& commands);

  // The user centre's page for a logged-in user: the token and the language are
  // values, not address syntax, so both are percent-encoded.
  static QString AccountPageUrl(const QString& userCentre, const QString& token, const QString& language);
};

}  // namespace tarvo
