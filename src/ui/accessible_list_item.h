#pragma once
// The interface of a row of a list, tree or menu: selectable, pressed like a click (a
// menu item runs its command), a tree row expands and collapses. A row without a text
// of its own is named by what it shows (the texts of its labels, in order).
//
// GUI thread; lifetime as CAccessibleControl.
#include "ui/accessible_control.h"

namespace DuiLib {

class CListContainerElementUI;
class CTreeNodeUI;

class CAccessibleListItem : public CAccessibleControl {
 public:
  using CAccessibleControl::CAccessibleControl;

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

 protected:
  QAccessible::Role DefaultRole() const override;

 private:
  CListContainerElementUI* Row() const;
  CTreeNodeUI* Node() const;
};

}  // namespace DuiLib
