#pragma once
// What the main menu asks of the window that opens it. The menu holds no browser
// state; the main window answers from its page list and the account.
// All calls come on the GUI thread while the menu is open.
#include <QString>

#include "platform/text.h"

namespace tarvo {

class IMainMenuOwner {
 public:
  struct User {
    bool loggedIn = false;
    QString nickname;
    QString photo;  // an image attribute string for "userphoto_ctl"
    QString token;
  };

  virtual ~IMainMenuOwner() = default;

  virtual User CurrentUser() const = 0;
  // Logs the user out (the account's own operation).
  virtual void LogOut() = 0;
  virtual bool IsFavorBarShown() const = 0;
  // The current page's title, the default name of a saved page.
  virtual QString CurrentPageTitle() const = 0;
  // Has the current page print itself to a PDF file / save itself as HTML.
  virtual void SaveCurrentPageAsPdf(const QString& path) = 0;
  virtual void SaveCurrentPageAsHtml(const QString& path) = 0;
  virtual void OpenInNewTab(const WString& url) = 0;
  // The text of the update entry (local and latest versions), and the entry itself.
  virtual QString UpdateEntryText() const = 0;
  virtual void CheckForUpdate() = 0;
  virtual void MakeDefaultBrowser() = 0;
  // The current language changed through the language menu.
  virtual void OnLanguageChanged() = 0;
};

}  // namespace tarvo
