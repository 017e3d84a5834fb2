#include "shell/windows/language_texts.h"

#include "settings/language_manager.h"
#include "ui/control_ui.h"

namespace tarvo {

QString LanguageText(WStringView key, const QString& fallback) {
  const WString text = LanguageManager::Instance().GetText(key);
  return text.empty() ? fallback : QString::fromStdU16String(text);
}

void SetLanguageText(DuiLib::CControlUI* control, WStringView key) {
  if (control == nullptr) return;
  control->SetText(LanguageText(key, control->GetText()));
}

}  // namespace tarvo
