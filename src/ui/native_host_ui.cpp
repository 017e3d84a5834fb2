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
