#include "ui/window_host.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/window_wnd.h"

namespace DuiLib {

CWindowHost::CWindowHost(CWindowWnd* owner, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), owner_(owner) {
  setMouseTracking(true);
  // The window takes the keyboard focus only when a control asks for it; a click on a
  // windowless control must not pull the focus out of an edit before the control
  // decides (the focus would flicker and send a stray "killfocus").
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

CWindowHost::~CWindowHost() {
  if (owner_ != nullptr) {
    CWindowWnd* owner = owner_;
    owner_ = nullptr;
    owner->OnHostDestroyed();
  }
}

bool CWindowHost::event(QEvent* event) {
  // Qt hands a pop-up the presses made anywhere while it is open; one outside it
  // dismisses it (QWidget's own handling closes it), which the skin never sees.
  if (windowType() == Qt::Popup &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
      !rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    return QWidget::event(event);
  }
  if (owner_ != nullptr && owner_->OnNativeEvent(event)) {
    return true;
  }
  return QWidget::event(event);
}

void CWindowHost::paintEvent(QPaintEvent* event) {
  if (owner_ == nullptr) {
    return;
  }
  QPainter painter(this);
  owner_->OnNativePaint(painter, event->rect());
}

}  // namespace DuiLib
