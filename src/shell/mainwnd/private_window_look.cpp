#include "shell/mainwnd/private_window_look.h"

#include <array>

#include "settings/language_manager.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/mainwnd/main_window_language_keys.h"
#include "shell/pages/qt_text.h"
#include "shell/pages/tab.h"
#include "shell/pages/tab_strip.h"
#include "ui/button_ui.h"
#include "ui/window_impl_base.h"

namespace tarvo {

namespace {

struct ButtonImage {
  const char* control;
  const char* image;
};

// The tab row's buttons drawn light on the dark row; their hover images stay.
constexpr std::array<ButtonImage, 5> kButtonImages = {{
    {"browser_tabadd", "file='Private\\tab_add.png' dest='4,3,32,31'"},
    {"minbtn", "file='Private\\minimize.png' dest='5,1,37,33'"},
    {"maxbtn", "file='Private\\maximize.png' dest='5,1,37,33'"},
    {"restorebtn", "file='Private\\restore.png' dest='5,1,37,33'"},
    {"closebtn", "file='Private\\close.png' dest='5,1,37,33'"},
}};

constexpr std::array<const char*, 2> kTabRowParts = {"browser_tabhead_top", "browser_tabhead_row"};

}  // namespace

void PrivateWindowLook::Apply(IBrowserWindow& window, TabStrip& strip) {
  for (const char* name : kTabRowParts) {
    if (DuiLib::CControlUI* part = window.Control(QString::fromLatin1(name))) part->SetBkColor(kTabRowColour);
  }
  for (const ButtonImage& button : kButtonImages) {
    if (auto* control = dynamic_cast<DuiLib::CButtonUI*>(window.Control(QString::fromLatin1(button.control)))) {
      control->SetNormalImage(QString::fromLatin1(button.image));
    }
  }
  if (DuiLib::CControlUI* mark = window.Control(QStringLiteral("private_mark"))) mark->SetVisible(true);
  strip.UsePrivateLook();
  for (int i = 0; i < strip.Count(); ++i) strip.TabAt(i)->UsePrivateLook();
}

void PrivateWindowLook::ShowTexts(DuiLib::WindowImplBase& window, IBrowserWindow& controls, bool isPrivate) {
  const LanguageManager& language = LanguageManager::Instance();
  // The mark is named in every window: hidden in an ordinary one, it is still part of
  // what a screen reader walks.
  if (DuiLib::CControlUI* text = controls.Control(QStringLiteral("private_mark_text"))) {
    text->SetText(Q(language.GetText(kPrivateMark)));
  }
  if (isPrivate) window.SetWindowTitle(Q(language.GetText(kPrivateTitle)));
}

}  // namespace tarvo
