#include "ui/native_host_ui.h"

#include <QWidget>

#include "ui/native_widget_slot.h"

namespace DuiLib {

CNativeHostUI::CNativeHostUI() : slot_(std::make_unique<CNativeWidgetSlot>(this)) {}

CNativeHostUI::~CNativeHostUI() = default;

void* CNativeHostUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("NativeHost"), Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CNativeHostUI::SetWidget(QWidget* widget, bool owned) {
  slot_->SetWidget(widget, owned);
  slot_->SetGeometry(rcItem_);
  slot_->SetShown(IsVisible());
}

QWidget* CNativeHostUI::GetWidget() const { return slot_->GetWidget(); }

void CNativeHostUI::DoInit() { slot_->Attach(); }

bool CNativeHostUI::IsAccessibleNode() const {
  return GetWidget() != nullptr && accRole_.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

QWidget* CNativeHostUI::FocusTarget() const {
  QWidget* widget = GetWidget();
  if (widget == nullptr || !widget->isVisible()) {
    return nullptr;
  }
  const auto accepts = [](const QWidget* w) { return w->isVisible() && (w->focusPolicy() & Qt::TabFocus) != 0; };
  if (accepts(widget)) {
    return widget;
  }
  for (QWidget* child : widget->findChildren<QWidget*>()) {
    if (accepts(child)) return child;
  }
  return nullptr;
}

void CNativeHostUI::DoEvent(TEventUI& event) {
  if (event.type == UIEvent::kSetFocus) {
    CControlUI::DoEvent(event);
    if (QWidget* target = FocusTarget()) target->setFocus(Qt::TabFocusReason);
    return;
  }
  CControlUI::DoEvent(event);
}

void CNativeHostUI::SetPos(const QRect& rc) {
  CControlUI::SetPos(rc);
  slot_->SetGeometry(rc);
  slot_->SetShown(IsVisible());
}

void CNativeHostUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  slot_->SetShown(IsVisible());
}

void CNativeHostUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  slot_->SetShown(IsVisible());
}

}  // namespace DuiLib
