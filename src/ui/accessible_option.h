#pragma once
// The interface of an option or check box: a check box when it toggles by itself, a
// radio button when it belongs to a group, a page tab when the skin says "tab" (then
// selected rather than checked).
//
// GUI thread; lifetime as CAccessibleControl.
#include "ui/accessible_button.h"

namespace DuiLib {

class CAccessibleOption : public CAccessibleButton {
 public:
  using CAccessibleButton::CAccessibleButton;

  QAccessible::State state() const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

 protected:
  QAccessible::Role DefaultRole() const override;
};

}  // namespace DuiLib
