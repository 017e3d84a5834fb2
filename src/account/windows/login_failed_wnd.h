#pragma once

#include "account/windows/centred_dialog.h"

namespace tarvo {

// "Registration failed" ("KXLoginFailedWnd", "login_failed.xml"): why it may have
// failed and a button back to the registration page of the same kind.
//
// GUI thread. Modal; the object lives on the caller's stack.
class LoginFailedWnd : public CentredDialog {
 public:
  explicit LoginFailedWnd(bool company) : company_(company) {}

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXLoginFailedWnd"); }
  QString GetSkinFile() override { return QStringLiteral("login_failed.xml"); }

 private:
  void Fill();

  bool company_ = false;
};

}  // namespace tarvo
