#include "shell/windows/popup_wnd.h"

#include <QGuiApplication>
#include <QScreen>

namespace tarvo {

bool PopupWnd::Popup(DuiLib::HWND owner, QPoint screenTopLeft) {
  owner_ = owner;
  constexpr DuiLib::UINT kExStyle = DuiLib::WS_EX_TOOLWINDOW | DuiLib::WS_EX_TOPMOST | DuiLib::WS_EX_ANCHORED_POPUP;
  if (Create(owner, GetWindowClassName(), DuiLib::WS_POPUP, kExStyle, screenTopLeft.x(), screenTopLeft.y()) == 0) {
    delete this;
    return false;
  }
  QRect placed = GetWindowRect();
  if (const QScreen* screen = QGuiApplication::screenAt(screenTopLeft)) {
    const QRect area = screen->availableGeometry();
    if (placed.right() > area.right()) placed.moveRight(area.right());
    if (placed.bottom() > area.bottom()) placed.moveBottom(area.bottom());
    placed.moveTopLeft(QPoint(std::max(placed.left(), area.left()), std::max(placed.top(), area.top())));
    SetWindowRect(placed);
  }
  ShowWindow(true, true);
  return true;
}

DuiLib::LRESULT PopupWnd::HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM, bool& bHandled) {
  // wParam names the toolkit window that takes the focus (0: none of ours).
  if (uMsg == DuiLib::WM_KILLFOCUS && wParam != GetHWND() && (companion_ == 0 || wParam != companion_)) {
    Close(DuiLib::IDCANCEL);
    bHandled = true;
  }
  return 0;
}

void PopupWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  delete this;
}

}  // namespace tarvo
