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

void SetLanguageToolTip(DuiLib::CControlUI* control, WStringView key) {
  if (control != nullptr) control->SetToolTip(LanguageText(key, control->GetToolTip()));
}

QLocale InterfaceLocale() { return QLocale(QString::fromStdString(LanguageManager::Instance().GetLocaleTag())); }

QString LanguagePicture(WStringView file) {
  return QStringLiteral("file='%1'").arg(QString::fromStdU16String(LanguageManager::Instance().GetLanguagePicture(file)));
}

void SetLanguageBackground(DuiLib::CControlUI* control, WStringView file) {
  if (control != nullptr) control->SetBkImage(LanguagePicture(file));
}

void SetLanguageButtonImages(DuiLib::CControlUI* control, WStringView normal, WStringView hot) {
  if (control == nullptr) return;
  control->ApplyAttributeList(
      QStringLiteral("normalimage=\"%1\" hotimage=\"%2\"").arg(LanguagePicture(normal), LanguagePicture(hot)));
}

}  // namespace tarvo
