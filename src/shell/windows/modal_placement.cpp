#include "shell/windows/modal_placement.h"

#include "ui/window_wnd.h"

namespace tarvo {

int RunModalAtTopRight(DuiLib::CWindowWnd& window, DuiLib::HWND owner, const QString& title, QPoint topRight) {
  if (window.Create(owner, title, DuiLib::WS_POPUP,
                    DuiLib::WS_EX_TOOLWINDOW | DuiLib::WS_EX_ANCHORED_POPUP, topRight.x(), topRight.y()) == 0) {
    return -1;
  }
  QRect placed = window.GetWindowRect();
  placed.moveTopRight(topRight);
  window.SetWindowRect(placed);
  return window.ShowModal();
}

}  // namespace tarvo
