#include "account/windows/skin_pictures.h"

#include "settings/language_manager.h"
#include "shell/windows/language_texts.h"
#include "ui/button_ui.h"

namespace tarvo {

QString SkinPictures::LanguagePicture(WStringView file) {
  return QStringLiteral("file='%1'").arg(QString::fromStdU16String(LanguageManager::Instance().GetLanguagePicture(file)));
}

void SkinPictures::Show(DuiLib::CControlUI* control, const QString& image) {
  if (control == nullptr) return;
  if (auto* button = dynamic_cast<DuiLib::CButtonUI*>(control)) {
    button->SetNormalImage(image);
    button->SetHotImage(image);
  } else {
    control->SetBkImage(image);
  }
}

void SkinPictures::ShowCaption(DuiLib::CControlUI* control, WStringView file, WStringView key) {
  if (control == nullptr) return;
  Show(control, LanguagePicture(file));
  control->SetText(QString());
  control->SetToolTip(LanguageText(key));
}

void SkinPictures::SetText(DuiLib::CControlUI* control, WStringView key) { SetLanguageText(control, key); }

}  // namespace tarvo
