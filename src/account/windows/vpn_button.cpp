#include "account/windows/vpn_button.h"

#include "account/windows/account_language_keys.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/windows/language_texts.h"
#include "ui/button_ui.h"

namespace tarvo {

namespace {

DuiLib::CButtonUI* ButtonOf(IBrowserWindow& window) {
  return dynamic_cast<DuiLib::CButtonUI*>(window.Control(QStringLiteral("protect_btn")));
}

}  // namespace

void VpnButton::Draw(IBrowserWindow& window, bool on) {
  DuiLib::CButtonUI* button = ButtonOf(window);
  if (button == nullptr) return;
  button->SetNormalImage(on ? QStringLiteral("Toolbar\\protect_on.png") : QStringLiteral("Toolbar\\protect.png"));
  button->SetHotImage(on ? QStringLiteral("Toolbar\\protect_on_hover.png") : QStringLiteral("Toolbar\\protect_hover.png"));
  button->SetToolTip(LanguageText(on ? AccountLanguageKeys::kVpnOnTip : AccountLanguageKeys::kVpnOffTip));
  button->Invalidate();
}

void VpnButton::ShowWorking(IBrowserWindow& window) {
  DuiLib::CButtonUI* button = ButtonOf(window);
  if (button == nullptr) return;
  // A faint green shield while the switch waits for the service.
  const QString faint = QStringLiteral("file='Toolbar\\protect_on.png' fade='110'");
  button->SetNormalImage(faint);
  button->SetHotImage(faint);
  button->SetToolTip(LanguageText(AccountLanguageKeys::kVpnWorkingTip));
  button->Invalidate();
}

}  // namespace tarvo
