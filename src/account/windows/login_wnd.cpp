#include "account/windows/login_wnd.h"

#include <array>
#include <utility>

#include "account/account_operations.h"
#include "account/windows/account_language_keys.h"
#include "account/windows/background_task.h"
#include "account/windows/login_failed_wnd.h"
#include "account/windows/login_success_wnd.h"
#include "account/windows/skin_pictures.h"
#include "bus/bus_channels.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/check_box_ui.h"
#include "ui/label_ui.h"
#include "ui/tab_layout_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

namespace Keys = AccountLanguageKeys;

const QColor kFailureColour(0xE5, 0x48, 0x4D);
const QColor kStatusColour(0x64, 0x6A, 0x73);

// The captions that are pictures of the current language, with their text's key.
struct Caption {
  const char16_t* control;
  const char16_t* picture;
};
constexpr std::array<Caption, 14> kCaptions = {{
    {u"login/regist", u"login_xlogin.png"},
    {u"login/email", u"login_username.png"},
    {u"login/password", u"login_password.png"},
    {u"login/loginbtn", u"login_btn.png"},
    {u"login/noacct", u"login_noacc.png"},
    {u"login/p1_registperson", u"login_register.png"},
    {u"personreg/license", u"register_agree.png"},
    {u"companyreg/license", u"register_agree.png"},
    {u"personreg/regbtn", u"register_btn_personal.png"},
    {u"companyreg/regbtn", u"register_btn_company.png"},
    {u"personreg/login", u"register_login.png"},
    {u"companyreg/login", u"register_login.png"},
    {u"personreg/personreg", u"contentimg_personal.png"},
    {u"companyreg/companyreg", u"contentimg_company.png"},
}};

// Each page's fields, button and status line.
struct PageParts {
  const char* account;
  const char* password;
  const char* button;
  const char* status;
};
constexpr std::array<PageParts, 3> kPages = {{
    {"login/p1_acct", "login/p1_pwd", "login/loginbtn", "login/status_lbl"},
    {"login/p3_acct", "login/p3_pwd", "personreg/regbtn", "personreg/status_lbl"},
    {"login/p2_acct", "login/p2_pwd", "companyreg/regbtn", "companyreg/status_lbl"},
}};

QString Name(const char* name) { return QString::fromLatin1(name); }

}  // namespace

int LoginWnd::CurrentPage() {
  auto* tabs = FindControl<DuiLib::CTabLayoutUI>(QStringLiteral("login_tab"));
  return tabs != nullptr ? tabs->GetCurSel() : kLoginPage;
}

void LoginWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick) {
    OnClick(name);
  } else if (msg.sType == DuiLib::kNotifyReturn) {
    OnReturn(name);
  }
  WindowImplBase::Notify(msg);
}

void LoginWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  SkinPictures::FillTexts(*this, Keys::kLoginTexts);
  FillPictures();
  SetLanguageText(FindControl(QStringLiteral("tocompany_btn")), Keys::kToCompany);
  // The login lasts its twelve hours whatever this box says, so it is not offered.
  if (auto* remember = FindControl(QStringLiteral("login/autologin"))) remember->SetVisible(false);
  ShowPage(kLoginPage);
}

void LoginWnd::FillPictures() {
  if (auto* background = FindControl(QStringLiteral("bg_img"))) {
    background->SetBkImage(SkinPictures::LanguagePicture(u"bg_login.jpg"));
  }
  for (const Caption& caption : kCaptions) {
    SkinPictures::ShowCaption(FindControl(QString::fromUtf16(caption.control)), caption.picture, caption.control);
  }
  SkinPictures::ShowCaption(FindControl(QStringLiteral("personreg/personal_tab")), u"icon_personal_selected.png",
                            Keys::kPersonalTab);
  SkinPictures::ShowCaption(FindControl(QStringLiteral("personreg/company_tab")), u"icon_company.png",
                            Keys::kCompanyTab);
  SkinPictures::ShowCaption(FindControl(QStringLiteral("companyreg/personal_tab")), u"icon_personal.png",
                            Keys::kPersonalTab);
  SkinPictures::ShowCaption(FindControl(QStringLiteral("companyreg/company_tab")), u"icon_company_selected.png",
                            Keys::kCompanyTab);
}

void LoginWnd::ShowPage(Page page) {
  if (auto* tabs = FindControl<DuiLib::CTabLayoutUI>(QStringLiteral("login_tab"))) tabs->SelectItem(page);
  if (auto* toCompany = FindControl(QStringLiteral("tocompany_btn"))) toCompany->SetVisible(page == kLoginPage);
  if (auto* account = FindControl(Name(kPages[page].account))) account->SetFocus();
}

void LoginWnd::OnClick(const QString& name) {
  if (name == QLatin1String("cancel_btn")) {
    Close(DuiLib::IDCANCEL);
  } else if (name == QLatin1String("login/p1_registperson") || name == QLatin1String("login/registperson") ||
             name.endsWith(QLatin1String("/personal_tab"))) {
    ShowPage(kPersonalPage);
  } else if (name == QLatin1String("tocompany_btn") || name.endsWith(QLatin1String("/company_tab"))) {
    ShowPage(kCompanyPage);
  } else if (name == QLatin1String("personreg/login") || name == QLatin1String("companyreg/login")) {
    ShowPage(kLoginPage);
  } else if (name == QLatin1String("login/loginbtn")) {
    LogIn();
  } else if (name == QLatin1String("personreg/regbtn")) {
    RegisterAccount(false);
  } else if (name == QLatin1String("companyreg/regbtn")) {
    RegisterAccount(true);
  } else if (name == QLatin1String("login/canlogin")) {
    BusChannels::kTabOpenResetPassword.Post();
    Close(DuiLib::IDCANCEL);
  }
}

void LoginWnd::OnReturn(const QString& name) {
  if (name == QLatin1String("login/p1_acct") || name == QLatin1String("login/p1_pwd")) LogIn();
  if (name == QLatin1String("login/p2_acct") || name == QLatin1String("login/p2_pwd")) RegisterAccount(true);
  if (name == QLatin1String("login/p3_acct") || name == QLatin1String("login/p3_pwd")) RegisterAccount(false);
}

QString LoginWnd::FieldText(const QString& name) {
  auto* field = FindControl(name);
  return field != nullptr ? field->GetText() : QString();
}

void LoginWnd::ShowStatus(const QString& statusName, WStringView key, bool failure) {
  auto* status = FindControl<DuiLib::CLabelUI>(statusName);
  if (status == nullptr) return;
  status->SetTextColor(failure ? kFailureColour : kStatusColour);
  status->SetText(key.empty() ? QString() : LanguageText(key));
}

void LoginWnd::SetBusy(const QString& buttonName, bool busy) {
  busy_ = busy;
  if (auto* button = FindControl(buttonName)) button->SetEnabled(!busy);
}

void LoginWnd::LogIn() {
  if (busy_) return;
  const PageParts& parts = kPages[kLoginPage];
  const QString account = FieldText(Name(parts.account));
  const QString password = FieldText(Name(parts.password));
  if (auto* marker = FindControl(QStringLiteral("p1_acct_bad"))) marker->SetVisible(account.isEmpty());
  if (auto* marker = FindControl(QStringLiteral("p1_pwd_bad"))) marker->SetVisible(password.isEmpty());
  if (account.isEmpty() || password.isEmpty()) {
    ShowStatus(Name(parts.status), Keys::kFillBoth, true);
    return;
  }
  SetBusy(Name(parts.button), true);
  ShowStatus(Name(parts.status), Keys::kLoggingIn, false);
  BackgroundTask::Run<bool>(
      tasks_, &alive_,
      [&state = account_, &database = database_, name = account.toStdU16String(), secret = password.toStdU16String()] {
        AccountOperations operations(state, database);
        if (AccountOperations::HoldsFreshLogin(state)) operations.Logout();
        return operations.Login(name, secret) == 0 && operations.CheckLogin();
      },
      [this, parts](bool loggedIn) {
        SetBusy(Name(parts.button), false);
        if (loggedIn) {
          Close(kLoggedIn);
          return;
        }
        if (auto* marker = FindControl(QStringLiteral("p1_pwd_bad"))) marker->SetVisible(true);
        ShowStatus(Name(parts.status), Keys::kLoginFailed, true);
      });
}

void LoginWnd::RegisterAccount(bool company) {
  if (busy_) return;
  const PageParts& parts = kPages[company ? kCompanyPage : kPersonalPage];
  const QString account = FieldText(Name(parts.account));
  const QString password = FieldText(Name(parts.password));
  if (account.isEmpty() || password.isEmpty()) {
    ShowStatus(Name(parts.status), Keys::kFillBoth, true);
    return;
  }
  auto* agree = FindControl<DuiLib::CCheckBoxUI>(company ? QStringLiteral("companyreg/agree")
                                                         : QStringLiteral("personreg/agree"));
  if (agree == nullptr || !agree->IsSelected()) {
    CMessageBox::Show(GetHWND(), LanguageText(Keys::kPleaseCheck), false);
    return;
  }
  SetBusy(Name(parts.button), true);
  ShowStatus(Name(parts.status), Keys::kRegistering, false);
  BackgroundTask::Run<bool>(
      tasks_, &alive_,
      [&state = account_, &database = database_, name = account.toStdU16String(), secret = password.toStdU16String()] {
        return AccountOperations(state, database).Register(name, secret) == 0;
      },
      [this, parts, account, company](bool registered) {
        SetBusy(Name(parts.button), false);
        ShowStatus(Name(parts.status), u"", false);
        OnRegistered(registered, account, company);
      });
}

void LoginWnd::OnRegistered(bool succeeded, const QString& account, bool company) {
  if (!succeeded) {
    LoginFailedWnd(company).Run(GetHWND());
    return;
  }
  LoginSuccessWnd(account, company).Run(GetHWND());
  // The new account logs in on the first page, its name already there.
  if (auto* field = FindControl(Name(kPages[kLoginPage].account))) field->SetText(account);
  ShowPage(kLoginPage);
  if (auto* field = FindControl(Name(kPages[kLoginPage].password))) field->SetFocus();
}

}  // namespace tarvo
