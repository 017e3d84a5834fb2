#include "ui/native_widget_slot.h"

#include <QEvent>
#include <QKeyEvent>

#include "ui/control_ui.h"
#include "ui/paint_manager_ui.h"

namespace DuiLib {

CNativeWidgetSlot::CNativeWidgetSlot(CControlUI* control) : control_(control) {}

CNativeWidgetSlot::~CNativeWidgetSlot() {
  if (widget_ && owned_) {
    widget_->removeEventFilter(this);
    delete widget_.data();
  }
}

void CNativeWidgetSlot::SetWidget(QWidget* widget, bool owned) {
  if (widget_ == widget) {
    return;
  }
  if (widget_) {
    widget_->removeEventFilter(this);
    if (owned_) delete widget_.data();
  }
  widget_ = widget;
  owned_ = owned;
  if (widget_) {
    widget_->installEventFilter(this);
    Attach();
  }
}

void CNativeWidgetSlot::Attach() {
  if (!widget_ || control_->GetManager() == nullptr) {
    return;
  }
  QWidget* host = control_->GetManager()->GetHostWidget();
  if (host != nullptr && widget_->parentWidget() != host) {
    widget_->setParent(host);
  }
  SetGeometry(rect_.isNull() ? control_->GetPos() : rect_);
  SetShown(shown_);
}

void CNativeWidgetSlot::SetGeometry(const QRect& rc) {
  rect_ = rc;
  if (widget_ && widget_->geometry() != rc) {
    widget_->setGeometry(rc);
  }
}

void CNativeWidgetSlot::SetShown(bool shown) {
  shown_ = shown;
  if (!widget_ || widget_->parentWidget() == nullptr) {
    return;
  }
  const bool visible = shown && !rect_.isEmpty();
  if (widget_->isVisibleTo(widget_->parentWidget()) != visible) {
    widget_->setVisible(visible);
  }
}

bool CNativeWidgetSlot::eventFilter(QObject* watched, QEvent* event) {
  CPaintManagerUI* manager = control_->GetManager();
  if (watched != widget_ || manager == nullptr) {
    return false;
  }
  const bool focusEvent = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
  if (focusEvent && manager->IsChangingFocus()) {
    return false;
  }
  switch (event->type()) {
    case QEvent::FocusIn:
      if (manager->GetFocus() != control_) {
        manager->SetFocus(control_);
      }
      return false;
    case QEvent::FocusOut: {
      auto* focusEvent = static_cast<QFocusEvent*>(event);
      // Losing the focus to another window keeps the control's focus, as a native
      // edit does; moving to another control is reported by that control's SetFocus.
      if (focusEvent->reason() != Qt::ActiveWindowFocusReason && focusEvent->reason() != Qt::PopupFocusReason &&
          manager->GetFocus() == control_) {
        manager->SetFocus(nullptr);
      }
      return false;
    }
    case QEvent::KeyPress:
      return manager->HandleKeyPress(static_cast<QKeyEvent*>(event), true);
    default:
      return false;
  }
}

}  // namespace DuiLib
