#pragma once
// The interface of a progress bar or slider: its value between minimum and maximum;
// a slider's can be changed (increase, decrease, or set outright).
//
// GUI thread; lifetime as CAccessibleControl.
#include "ui/accessible_control.h"

namespace DuiLib {

class CProgressUI;
class CSliderUI;

class CAccessibleRange : public CAccessibleControl, public QAccessibleValueInterface {
 public:
  using CAccessibleControl::CAccessibleControl;

  void* interface_cast(QAccessible::InterfaceType type) override;

  QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  QVariant maximumValue() const override;
  QVariant minimumValue() const override;
  QVariant minimumStepSize() const override;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

 protected:
  QAccessible::Role DefaultRole() const override;
  QString Value() const override;

 private:
  CProgressUI* Progress() const;
  CSliderUI* Slider() const;
};

}  // namespace DuiLib
