#pragma once
// The interface of a combo box: its value is the chosen item's text, its items (shown
// only while the drop list is open) are its children, and pressing it opens the list.
//
// GUI thread; lifetime as CAccessibleControl.
#include "ui/accessible_control.h"

namespace DuiLib {

class CComboUI;

class CAccessibleCombo : public CAccessibleControl {
 public:
  using CAccessibleControl::CAccessibleControl;

  QAccessible::State state() const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

 protected:
  QAccessible::Role DefaultRole() const override { return QAccessible::ComboBox; }
  QString Value() const override;

 private:
  CComboUI* Combo() const;
};

}  // namespace DuiLib
