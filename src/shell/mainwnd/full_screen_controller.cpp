#include "shell/mainwnd/full_screen_controller.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/ui_messages.h"
#include "ui/window_wnd.h"

namespace tarvo {

QRect FullScreenController::TargetRect(const QRect& window, const QRect& pageArea, const std::optional<QRect>& monitor,
                                       const QSize& screen) {
  const int above = pageArea.isEmpty() ? 0 : pageArea.top() - window.top();
  if (monitor.has_value()) {
    return QRect(monitor->left(), monitor->top() - above, monitor->width(), monitor->height() + above);
  }
  return QRect(0, -above, screen.width(), screen.height() + above + 3);
}

void FullScreenController::Enter() {
  QWidget* host = window_.GetWidget();
  if (active_ || host == nullptr) return;
  if (host->isMaximized()) {
    wasMaximised_ = true;
    window_.SendMessage(DuiLib::WM_SYSCOMMAND, DuiLib::SC_RESTORE);
  }
  saved_ = window_.GetWindowRect();
  std::optional<QRect> monitor;
  QSize screenSize;
  if (QScreen* screen = QGuiApplication::screenAt(saved_.center()); screen != nullptr) {
    monitor = screen->geometry();
  } else if (QScreen* primary = QGuiApplication::primaryScreen(); primary != nullptr) {
    // The window's centre is off every screen: the nearest is the primary one.
    monitor = primary->geometry();
  }
  // Staying on top is set first: changing the flag re-creates the native window,
  // which must not undo the new geometry.
  window_.SetTopMost(true);
  window_.SetWindowRect(TargetRect(saved_, pageAreaOnScreen_(), monitor, screenSize));
  active_ = true;
}

void FullScreenController::Leave() {
  if (!active_) return;
  window_.SetTopMost(false);
  window_.SetWindowRect(saved_);
  active_ = false;
  if (wasMaximised_) {
    window_.SendMessage(DuiLib::WM_SYSCOMMAND, DuiLib::SC_MAXIMIZE);
    wasMaximised_ = false;
  }
}

}  // namespace tarvo
