#include "shell/windows/main_right_menu_wnd.h"

#include "bus/bus_keys.h"
#include "bus/message_bus.h"
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
  if (name == QLatin1String("close_btn")) {
    DuiLib::PostMessage(mainWindow_, DuiLib::WM_CLOSE);
  } else if (name == QLatin1String("new_tab_btn")) {
    MessageBus::Instance().Post(BusKeys::kTabOpenHome, BusKeys::kSignal);
  } else if (name == QLatin1String("showfavorbar_btn")) {
    MessageBus::Instance().Post(BusKeys::kReflashFavorBar, BusKeys::kSignal);
  }
  // The status bar, search bar and skin entries have nothing to show yet.
}

}  // namespace tarvo
