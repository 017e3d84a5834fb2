#pragma once

#include "account/windows/centred_dialog.h"

namespace tarvo {

// "Account created" ("KXLoginSuccessWnd", "login_success.xml"): names the new
// account and its kind; any of its buttons closes it with 1 (back to logging in).
//
// GUI thread. Modal; the object lives on the caller's stack.
class LoginSuccessWnd : public CentredDialog {
 public:
  LoginSuccessWnd(QString account, bool company) : account_(std::move(account)), company_(company) {}

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXLoginSuccessWnd"); }
  QString GetSkinFile() override { return QStringLiteral("login_success.xml"); }

 private:
  void Fill();

  QString account_;
  bool company_ = false;
};

}  // namespace tarvo
