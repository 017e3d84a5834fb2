#include "account/windows/vpn_notice_wnd.h"

#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {
constexpr DuiLib::UINT kCloseTimer = 1;
}  // namespace

bool VpnNoticeWnd::Show(DuiLib::HWND owner, const QRect& anchor, const QString& text) {
  auto* notice = new VpnNoticeWnd(text);
  if (notice->Create(owner, notice->GetWindowClassName(), DuiLib::WS_POPUP, DuiLib::WS_EX_TOOLWINDOW) == 0) {
    delete notice;
    return false;
  }
  QRect placed = notice->GetWindowRect();
  if (!anchor.isEmpty()) {
    placed.moveTopRight(QPoint(anchor.right(), anchor.bottom() + 4));
    notice->SetWindowRect(placed);
  }
  notice->ShowWindow(true, false);
  notice->SetTimer(kCloseTimer, kShownMs);
  return true;
}

void VpnNoticeWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    if (auto* text = FindControl(QStringLiteral("notice_text"))) text->SetText(text_);
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr &&
             msg.pSender->GetName() == QLatin1String("cancel_btn")) {
    Close(DuiLib::IDCANCEL);
  }
  WindowImplBase::Notify(msg);
}

DuiLib::LRESULT VpnNoticeWnd::HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM,
                                                  bool& bHandled) {
  if (uMsg == DuiLib::WM_TIMER && wParam == kCloseTimer) {
    KillTimer(kCloseTimer);
    Close(DuiLib::IDOK);
    bHandled = true;
  }
  return 0;
}

void VpnNoticeWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  delete this;
}

}  // namespace tarvo
