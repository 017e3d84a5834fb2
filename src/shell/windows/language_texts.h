#pragma once
// Filling skinned controls with texts of the current language pack. A key the pack
// lacks keeps the skin's own text, so a window never shows empty captions.
// GUI thread (the language manager itself may be read from any thread).
#include <QLocale>
#include <QString>

#include "platform/text.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

// The current language's text for `key`; `fallback` when the pack has none.
QString LanguageText(WStringView key, const QString& fallback = QString());

// Gives `control` the text of `key` when the pack has one; a null control is ignored.
void SetLanguageText(DuiLib::CControlUI* control, WStringView key);
// Gives `control` the tooltip of `key`, which is also what a screen reader calls a
// button that shows only a picture; a null control is ignored.
void SetLanguageToolTip(DuiLib::CControlUI* control, WStringView key);

// The conventions of the interface language: dates, times and numbers the windows
// show are written with it, whatever locale the desktop runs in.
QLocale InterfaceLocale();

// The image attribute value ("file='...'") of the current language's picture `file`.
QString LanguagePicture(WStringView file);
// Gives `control` the current language's pictures: a background, or a button's
// normal and hot images. A null control is ignored.
void SetLanguageBackground(DuiLib::CControlUI* control, WStringView file);
void SetLanguageButtonImages(DuiLib::CControlUI* control, WStringView normal, WStringView hot);

}  // namespace tarvo

namespace tarvo {
// Fills each named control of `window`'s table with its language text.
template <class Window, class Table>
void FillLanguageTexts(Window& window, const Table& table) {
  for (const auto& [control, key] : table) {
    SetLanguageText(window.FindControl(QString::fromUtf16(control)), key);
  }
}
}  // namespace tarvo
