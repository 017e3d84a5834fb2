#pragma once
// The interface of a list, tree view or menu panel: its rows (and scroll bar) are its
// children.
//
// GUI thread; lifetime as CAccessibleControl.
#include "ui/accessible_control.h"

namespace DuiLib {

class CAccessibleList : public CAccessibleControl {
 public:
  using CAccessibleControl::CAccessibleControl;

 protected:
  QAccessible::Role DefaultRole() const override;
};

}  // namespace DuiLib
