#include "ui/window_host.h"

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
