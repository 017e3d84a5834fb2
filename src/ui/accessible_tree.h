#pragma once
// How a window's controls form its accessibility tree: which controls are nodes (the
// others stand aside and let their descendants take their place), who is whose parent,
// and what a node is called and where it is on the screen.
//
// GUI thread. Nothing here keeps state; interfaces are made through the controls.
#include <QAccessible>
#include <QRect>
#include <QString>
#include <vector>

namespace DuiLib {

class CControlUI;

class CAccessibleTree {
 public:
  // Appends the controls that stand for `control` in the tree: itself when it is a
  // node, else the nodes below it, nearest first, in layout order.
  static void CollectNodes(CControlUI* control, std::vector<CControlUI*>& nodes);
  // The interfaces directly below `control`: the nodes among its descendants in layout
  // order, with the scroll bars of each container after its content.
  static std::vector<QAccessibleInterface*> ChildrenOf(CControlUI* control);
  // The same for the window whose tree starts at `root`.
  static std::vector<QAccessibleInterface*> WindowChildren(CControlUI* root);
  // The interface of the nearest ancestor that is a node, else of the window.
  static QAccessibleInterface* ParentOf(const CControlUI* control);
  // The interface of the window holding the control, or null when it has none.
  static QAccessibleInterface* WindowOf(const CControlUI* control);
  // The child whose screen rectangle holds the point, or null.
  static QAccessibleInterface* ChildAt(const std::vector<QAccessibleInterface*>& children, int x, int y);
  // The name by the rules given at CControlUI::GetAccessibleName.
  static QString NameOf(const CControlUI* control);
  // A rectangle of the control's window on the screen (empty without a window).
  static QRect ScreenRect(const CControlUI* control, const QRect& clientRect);
  // The role the "accrole" value stands for, or `fallback` when it names none.
  static QAccessible::Role RoleFor(const QString& accRole, QAccessible::Role fallback);
  // State every control shares: invisible, disabled, focusable, focused.
  static QAccessible::State CommonState(const CControlUI* control);
};

}  // namespace DuiLib
