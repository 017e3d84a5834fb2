#include "account/windows/login_success_wnd.h"

#include "account/windows/account_language_keys.h"
#include "account/windows/skin_pictures.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

void LoginSuccessWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick &&
             (name == QLatin1String("cancel_btn") || name == QLatin1String("regsuccess/login") ||
              name == QLatin1String("regsuccess/loginbtn"))) {
    Close(DuiLib::IDOK);
  }
  WindowImplBase::Notify(msg);
}

void LoginSuccessWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  SkinPictures::FillTexts(*this, AccountLanguageKeys::kSuccessTexts);
  if (auto* account = FindControl(QStringLiteral("regsuccess/acct"))) {
    account->SetText(LanguageText(AccountLanguageKeys::kSuccessAccount) + QStringLiteral(" ") + account_);
  }
  SkinPictures::ShowCaption(FindControl(QStringLiteral("regsuccess/regor")),
                            company_ ? u"register_companyacc.png" : u"register_personalacc.png",
                            AccountLanguageKeys::kSuccessAccount);
  SkinPictures::ShowCaption(FindControl(QStringLiteral("regsuccess/login")), u"register_login.png",
                            u"regsuccess/login");
}

}  // namespace tarvo
