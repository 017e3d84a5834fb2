#pragma once
// Moves the keyboard focus of a window the way the keyboard asks: Tab and Shift+Tab in
// layout order over the visible, enabled, focusable controls, a group of options being
// one stop (its chosen member, else its first); arrow keys among the options of a
// group or the entries of a menu, tab strip or toolbar. Every move shows the focus
// ring (CPaintManagerUI::IsKeyboardFocus).
//
// GUI thread. Holds nothing beyond the manager it works on.
#include <vector>

namespace DuiLib {

class CControlUI;
class CPaintManagerUI;

class CFocusNavigator {
 public:
  explicit CFocusNavigator(CPaintManagerUI& manager) : manager_(manager) {}

  // The next (or previous) Tab stop after the control the keyboard is in, wrapping;
  // the first (last) one when it is in none. True when the focus moved.
  bool MoveFocus(bool forward);
  // The next (step 1) or previous (-1) focusable option of `from`'s group, wrapping.
  bool MoveInGroup(CControlUI* from, int step);
  // The same among the focusable controls inside `scope` (menus, tab strips).
  bool MoveWithin(CControlUI* scope, CControlUI* from, int step);
  // In a pop-up menu where nothing has the focus yet, the first arrow goes to the first
  // (`down`) or last entry. False when the window is no menu.
  bool EnterMenu(bool down);

  // The focusable controls inside `scope` (itself included), in layout order; parts
  // that let the mouse through or that are left out of the accessibility tree are not.
  static std::vector<CControlUI*> FocusableControls(CControlUI* scope);

 private:
  bool FocusByKeyboard(CControlUI* control);

  CPaintManagerUI& manager_;
};

}  // namespace DuiLib
