#pragma once
// What the main menu asks of its main window: the account's user, which commands can
// run now, the version, and a language change.
//
// Threads: GUI thread, while the menu is open. Lifetime: owned by the main window,
// which it refers to (non-owning).
#include "shell/windows/i_main_menu_owner.h"

namespace tarvo {

class AccountState;
class FeatureCommands;
class IBrowserWindow;

class MainMenuOwner : public IMainMenuOwner {
 public:
  MainMenuOwner(IBrowserWindow& window, const FeatureCommands& features, const AccountState& account)
      : window_(window), features_(features), account_(account) {}

  User CurrentUser() const override;
  bool IsAvailable(unsigned command) const override;
  // What the update feature words for its entry (the versions), else the
  // browser's version.
  QString UpdateEntryText() const override;
  void OnLanguageChanged() override;

 private:
  IBrowserWindow& window_;
  const FeatureCommands& features_;
  const AccountState& account_;
};

}  // namespace tarvo
