#pragma once
// What the main menu asks of the browser: the account, the favourites bar, saving the
// current page, a new tab, the version, the default browser and a language change.
//
// Threads: GUI thread, while the menu is open. Lifetime: owned by the main window,
// which it refers to (non-owning).
#include "shell/windows/i_main_menu_owner.h"

namespace tarvo {

class MainDuiWnd;

class MainMenuOwner : public IMainMenuOwner {
 public:
  explicit MainMenuOwner(MainDuiWnd& window) : window_(window) {}

  User CurrentUser() const override;
  // Forgets the user and has the user-centre pages leave ("mainwnd/logout").
  void LogOut() override;
  bool IsFavorBarShown() const override;
  QString CurrentPageTitle() const override;
  // Chromium pages only; a compatibility page is left alone.
  void SaveCurrentPageAsPdf(const QString& path) override;
  void SaveCurrentPageAsHtml(const QString& path) override;
  void OpenInNewTab(const WString& url) override;
  // The browser's version; the update check itself is not part of this build.
  QString UpdateEntryText() const override;
  void CheckForUpdate() override;
  // Asks the desktop (xdg-settings) to make the browser the default one.
  void MakeDefaultBrowser() override;
  void OnLanguageChanged() override;

 private:
  MainDuiWnd& window_;
};

}  // namespace tarvo
