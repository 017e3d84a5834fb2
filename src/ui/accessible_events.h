#pragma once
// Tells assistive technology what changed on a control. Nothing is done while none
// listens; apart from the focus, which it always needs to follow, only controls whose
// interface it has already met are reported.
//
// GUI thread.
#include <QAccessible>
#include <QVariant>

namespace DuiLib {

class CControlUI;

class CAccessibleEvents {
 public:
  // A windowless control took the keyboard focus (native widgets report their own).
  static void Focus(CControlUI* control);
  static void NameChanged(CControlUI* control);
  // `changed` says which of checked, disabled, expanded changed.
  static void StateChanged(CControlUI* control, QAccessible::State changed);
  // A row, tab or item was selected or deselected.
  static void SelectionChanged(CControlUI* control);
  static void ValueChanged(CControlUI* control, const QVariant& value);
  static void ShownChanged(CControlUI* control, bool shown);
  // A control joined the tree, or is about to leave it (with its subtree).
  static void Added(CControlUI* control);
  static void Removing(CControlUI* control);
};

}  // namespace DuiLib
