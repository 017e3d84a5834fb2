#pragma once

#include <QString>

#include "shell/pages/i_login_forms.h"

namespace tarvo {

// Where the engines hand the log-in form script's messages and the saved-passwords
// feature hears them: an engine passes the message text it received with the address
// its page is at now; a message that is not well formed, or comes from another
// origin than the page's, goes nowhere. An engine also says when the forms of a body
// go (from its ILoginForms' destructor).
//
// Threads: the GUI thread. Lifetime: start-up makes the browser's and hands it to
// both engines' ports and to the saved-passwords feature; it outlives the engines'
// pages. The listener is installed at start-up (non-owning) and outlives them too.
class LoginFormEvents {
 public:
  LoginFormEvents() = default;
  LoginFormEvents(const LoginFormEvents&) = delete;
  LoginFormEvents& operator=(const LoginFormEvents&) = delete;

  void SetListener(ILoginFormListener* listener) { listener_ = listener; }

  // A message of the script from `forms` of `page`, whose engine is at `pageUrl` now.
  void Receive(Page& page, ILoginForms& forms, const QString& message, const QString& pageUrl) const;
  void Gone(const ILoginForms& forms) const {
    if (listener_ != nullptr) listener_->OnLoginFormsGone(forms);
  }

  // The report a message holds when it comes from `pageUrl`'s origin; false for
  // anything else (malformed, another origin, not a web page).
  static bool Parse(const QString& message, const QString& pageUrl, LoginFormReport& report);

 private:
  ILoginFormListener* listener_ = nullptr;  // not owned
};

}  // namespace tarvo
