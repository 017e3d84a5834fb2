#pragma once

#include <memory>

#include "shell/pages/i_login_forms.h"

namespace tarvo {

class ITabBody;
class LoginFormEvents;
namespace ie {
class WebBrowserControl;
}

// The log-in forms of one compatibility page: the log-in form script runs in a script
// world of the browser's own from each document's start (the page's scripts can
// neither see nor call it) and reports through a message channel of that world; fills
// run in the same world. A private profile's pages get none of it, so a private window
// never offers nor fills.
//
// Threads: the GUI thread. Lifetime: owned by the page's body; the control and the
// events outlive it.
class CompatLoginForms : public ILoginForms {
 public:
  // The forms of `control`'s page reported for `body` to `events`; nullptr for a
  // private page.
  static std::unique_ptr<CompatLoginForms> Make(ie::WebBrowserControl& control, bool privatePage, ITabBody& body,
                                                LoginFormEvents& events);
  ~CompatLoginForms() override;
  CompatLoginForms(const CompatLoginForms&) = delete;
  CompatLoginForms& operator=(const CompatLoginForms&) = delete;

  void Fill(int formId, const WString& frameOrigin, const WString& username, const WString& password) override;
  QRect ScreenRect(const QRect& pageRect) const override;

 private:
  CompatLoginForms(ie::WebBrowserControl& control, ITabBody& body, LoginFormEvents& events);

  ie::WebBrowserControl& control_;
  ITabBody& body_;
  LoginFormEvents& events_;
};

}  // namespace tarvo
