#include "ui/accessible_range.h"

#include "ui/slider_ui.h"

namespace DuiLib {

CProgressUI* CAccessibleRange::Progress() const {
  return static_cast<CProgressUI*>(Control()->GetInterface(QStringLiteral("Progress")));
}

CSliderUI* CAccessibleRange::Slider() const {
  return static_cast<CSliderUI*>(Control()->GetInterface(QStringLiteral("Slider")));
}

QAccessible::Role CAccessibleRange::DefaultRole() const {
  return Slider() != nullptr ? QAccessible::Slider : QAccessible::ProgressBar;
}

QString CAccessibleRange::Value() const { return QString::number(Progress()->GetValue()); }

void* CAccessibleRange::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
  return CAccessibleControl::interface_cast(type);
}

QVariant CAccessibleRange::currentValue() const { return Progress()->GetValue(); }

void CAccessibleRange::setCurrentValue(const QVariant& value) {
  if (Slider() == nullptr) return;
  const int wanted = value.toInt();
  Later([wanted](CControlUI* control) {
    static_cast<CSliderUI*>(control->GetInterface(QStringLiteral("Slider")))->ChangeValue(wanted);
  });
}

QVariant CAccessibleRange::maximumValue() const { return Progress()->GetMaxValue(); }

QVariant CAccessibleRange::minimumValue() const { return Progress()->GetMinValue(); }

QVariant CAccessibleRange::minimumStepSize() const { return Slider() != nullptr ? Slider()->GetStep() : 1; }

QStringList CAccessibleRange::actionNames() const {
  if (Slider() == nullptr) return CAccessibleControl::actionNames();
  return QStringList{increaseAction(), decreaseAction()} + CAccessibleControl::actionNames();
}

void CAccessibleRange::doAction(const QString& actionName) {
  if (Slider() != nullptr && (actionName == increaseAction() || actionName == decreaseAction())) {
    const int steps = actionName == increaseAction() ? 1 : -1;
    Later([steps](CControlUI* control) {
      auto* slider = static_cast<CSliderUI*>(control->GetInterface(QStringLiteral("Slider")));
      slider->ChangeValue(slider->GetValue() + steps * slider->GetStep());
    });
    return;
  }
  CAccessibleControl::doAction(actionName);
}

}  // namespace DuiLib
