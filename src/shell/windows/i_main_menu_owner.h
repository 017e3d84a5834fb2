#pragma once
// What the main menu asks of the window that opens it. The menu holds no browser
// state: its entries post the window's commands, and the window answers which of them
// can run now and who is logged in.
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
  // Whether `command` can run now; the menu greys the entries of the others out.
  virtual bool IsAvailable(unsigned command) const = 0;
  // The text of the update entry (local and latest versions).
  virtual QString UpdateEntryText() const = 0;
  // The current language changed through the language menu.
  virtual void OnLanguageChanged() = 0;
};

}  // namespace tarvo
