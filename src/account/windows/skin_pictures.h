#pragma once

#include <QString>

#include "platform/text.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

// The account windows' captions that are pictures of the current language (they
// carry the words; the language text becomes the tooltip), and their texts.
// GUI thread.
class SkinPictures {
 public:
  // The image attribute of a picture of the current language ("LangPic/EN/...").
  static QString LanguagePicture(WStringView file);
  // Shows `image` on `control`: a button's normal and hot image, any other
  // control's background. A null control is ignored.
  static void Show(DuiLib::CControlUI* control, const QString& image);
  // Shows a language picture with the text of `key` as its tooltip.
  static void ShowCaption(DuiLib::CControlUI* control, WStringView file, WStringView key);
  // Gives every control named after a key its text.
  template <class Window, class Keys>
  static void FillTexts(Window& window, const Keys& keys) {
    for (WStringView key : keys) SetText(window.FindControl(QString::fromUtf16(key.data(), int(key.size()))), key);
  }

 private:
  static void SetText(DuiLib::CControlUI* control, WStringView key);
};

}  // namespace tarvo
