#pragma once
// The interface of a button: a push button (or what its "accrole" says, a menu item, a
// link) that can be pressed.
//
// GUI thread; lifetime as CAccessibleControl.
#include "ui/accessible_control.h"

namespace DuiLib {

class CAccessibleButton : public CAccessibleControl {
 public:
  using CAccessibleControl::CAccessibleControl;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 protected:
  QAccessible::Role DefaultRole() const override { return QAccessible::PushButton; }
};

}  // namespace DuiLib
