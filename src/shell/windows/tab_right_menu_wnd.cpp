#include "shell/windows/tab_right_menu_wnd.h"

#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

void TabRightMenuWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    FillLanguageTexts(*this, WindowsLanguageKeys::kTabRightMenu);
    ShowPinState();
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    const QString& name = msg.pSender->GetName();
    if (name == QLatin1String("pin_tab") && tab_.pin) tab_.pin();
    if (name == QLatin1String("unpin_tab") && tab_.unpin) tab_.unpin();
    Close(DuiLib::IDOK);
  }
  WindowImplBase::Notify(msg);
}

void TabRightMenuWnd::ShowPinState() {
  const bool pinned = tab_.isPinned && tab_.isPinned();
  if (auto* pinBox = FindControl(QStringLiteral("pin_box"))) pinBox->SetVisible(!pinned);
  if (auto* unpinBox = FindControl(QStringLiteral("unpin_box"))) unpinBox->SetVisible(pinned);
}

}  // namespace tarvo
