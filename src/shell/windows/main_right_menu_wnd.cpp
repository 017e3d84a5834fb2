#include "shell/windows/main_right_menu_wnd.h"

#include "shell/commands/command_table.h"
#include "shell/commands/post_command.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/ui_notify_types.h"
#include "ui/window_registry.h"

namespace tarvo {

void MainRightMenuWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    FillLanguageTexts(*this, WindowsLanguageKeys::kMainRightMenu);
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    OnClick(msg.pSender->GetName());
    Close(DuiLib::IDOK);
  }
  WindowImplBase::Notify(msg);
}

void MainRightMenuWnd::OnClick(const QString& name) {
  // The status bar, search bar and skin entries have nothing to show yet.
  if (const unsigned command = CommandTable::ForControl(ControlSurface::kCaptionMenu, ControlEvent::kClick, name)) {
    PostCommand(mainWindow_, command, static_cast<DuiLib::LPARAM>(GetHWND()));
  }
}

}  // namespace tarvo
