#include "app/first_wnd.h"

#include "settings/language_manager.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

bool FirstWnd::Open() {
  if (Create(0, QStringLiteral("firstWnd"), DuiLib::WS_OVERLAPPED | DuiLib::WS_VISIBLE,
             DuiLib::WS_EX_WINDOWEDGE | DuiLib::WS_EX_TOOLWINDOW) == 0) {
    return false;
  }
  CenterWindow();
  return true;
}

void FirstWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    if (DuiLib::CControlUI* background = FindControl(QStringLiteral("firstwnd/bglabel"))) {
      const WString picture = LanguageManager::Instance().GetLanguagePicture(u"first_bg.jpg");
      background->SetBkImage(QString::fromStdU16String(picture));
    }
    SetTopMost(true);
    ShowWindow(true, false);
    SetTimer(kCloseTimerId, kCloseTimerMs);
  }
  WindowImplBase::Notify(msg);
}

DuiLib::LRESULT FirstWnd::HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                              bool& bHandled) {
  if (uMsg == DuiLib::WM_TIMER && wParam == kCloseTimerId && mayClose_.load()) {
    KillTimer(kCloseTimerId);
    Close(1);
    bHandled = true;
    return 0;
  }
  return WindowImplBase::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
}

}  // namespace tarvo
