#include "shell/windows/rename_wnd.h"

#include "settings/language_manager.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

int RenameWnd::Run(DuiLib::HWND owner, const QString& title, QPoint screenTopLeft) {
  if (Create(owner, title, DuiLib::WS_POPUP,
             DuiLib::WS_EX_TOOLWINDOW | DuiLib::WS_EX_ANCHORED_POPUP, screenTopLeft.x(), screenTopLeft.y()) == 0) {
    return -1;
  }
  return ShowModal();
}

void RenameWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick) {
    if (name == QLatin1String("rename/okbtn")) Accept();
    if (name == QLatin1String("rename/ccbtn") || name == QLatin1String("cancel_btn")) Close(DuiLib::IDCANCEL);
  } else if (msg.sType == DuiLib::kNotifyReturn && name == QLatin1String("rename/rename_edit")) {
    Accept();
  }
  WindowImplBase::Notify(msg);
}

void RenameWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  // The captions are pictures of the current language, which carry the words; the
  // language texts become their tooltips.
  for (const auto& [control, key] : WindowsLanguageKeys::kRename) {
    if (auto* found = FindControl(QString::fromUtf16(control))) found->SetToolTip(LanguageText(key));
  }
  SetLanguageBackground(FindControl(QStringLiteral("rename/title")), u"rename_title.png");
  SetLanguageBackground(FindControl(QStringLiteral("rename/name")), u"rename_01.png");
  SetLanguageButtonImages(FindControl(QStringLiteral("rename/okbtn")), u"rename_btn01.png", u"rename_btn01_hover.png");
  SetLanguageButtonImages(FindControl(QStringLiteral("rename/ccbtn")), u"rename_btn02.png", u"rename_btn02_hover.png");
  if (auto* edit = FindControl(QStringLiteral("rename/rename_edit"))) {
    edit->SetText(text_);
    edit->SetFocus();
  }
}

void RenameWnd::Accept() {
  if (auto* edit = FindControl(QStringLiteral("rename/rename_edit"))) text_ = edit->GetText();
  Close(DuiLib::IDOK);
}

}  // namespace tarvo
