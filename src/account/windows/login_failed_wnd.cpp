#include "account/windows/login_failed_wnd.h"

#include "account/windows/account_language_keys.h"
#include "account/windows/skin_pictures.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

void LoginFailedWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick &&
             (name == QLatin1String("cancel_btn") || name == QLatin1String("regsuccess/login") ||
              name == QLatin1String("regfailed/reg_btn"))) {
    Close(DuiLib::IDOK);
  }
  WindowImplBase::Notify(msg);
}

void LoginFailedWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  SkinPictures::FillTexts(*this, AccountLanguageKeys::kFailedTexts);
  SetLanguageText(FindControl(QStringLiteral("regfailed/reg_btn")),
                  company_ ? AccountLanguageKeys::kRetryCompany : AccountLanguageKeys::kRetryPersonal);
  // The kind's own caption: the "account created" pictures would contradict the failure.
  SkinPictures::ShowCaption(FindControl(QStringLiteral("regfailed/regor")),
                            company_ ? u"contentimg_company.png" : u"contentimg_personal.png",
                            company_ ? u"companyreg/companyreg" : u"personreg/personreg");
  SkinPictures::ShowCaption(FindControl(QStringLiteral("regsuccess/login")), u"register_login.png",
                            u"regsuccess/login");
}

}  // namespace tarvo
