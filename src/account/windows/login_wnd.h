#pragma once

#include <QObject>

#include "account/windows/centred_dialog.h"
#include "platform/text.h"

namespace tarvo {

class AccountState;
class AccountTaskQueue;
class UserDatabase;

// The login window ("KXLoginWnd", "login.xml"): logging in, and registering a
// personal or a company account, on the three pages of "login_tab". Enter in a
// page's fields does what its button does. Logging in and registering run on the
// account task queue; meanwhile the page's button is disabled and a status line
// says what is going on, and the window stays responsive (it may be closed; the
// late answer is then dropped).
//
// GUI thread. Modal; the object lives on the caller's stack.
class LoginWnd : public CentredDialog {
 public:
  enum Page { kLoginPage = 0, kPersonalPage = 1, kCompanyPage = 2 };
  // What Run returns once a login succeeded.
  static constexpr int kLoggedIn = 1;

  // `account`: where a login lands; it and `database` outlive the tasks the window
  // starts on `tasks`.
  LoginWnd(AccountState& account, AccountTaskQueue& tasks, UserDatabase& database)
      : account_(account), tasks_(tasks), database_(database) {}

  // The page shown (kLoginPage ...).
  int CurrentPage();

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXLoginWnd"); }
  QString GetSkinFile() override { return QStringLiteral("login.xml"); }

 private:
  void Fill();
  void FillPictures();
  void ShowPage(Page page);
  void OnClick(const QString& name);
  void OnReturn(const QString& name);
  void LogIn();
  void RegisterAccount(bool company);
  void OnRegistered(bool succeeded, const QString& account, bool company);
  // The page's status line: a text of `key` (empty key: nothing), red for failures.
  void ShowStatus(const QString& statusName, WStringView key, bool failure);
  void SetBusy(const QString& buttonName, bool busy);
  QString FieldText(const QString& name);

  AccountState& account_;
  AccountTaskQueue& tasks_;
  UserDatabase& database_;
  QObject alive_;  // answers for a closed window are dropped with it
  bool busy_ = false;
};

}  // namespace tarvo
