#pragma once
// The base of the shell's modeless pop-up menus (main menu, caption and tab
// right-click menus): shown at a screen point, kept on screen, closed when the
// focus goes to a window that is not one of its own, and deleted when closed.
//
// GUI thread only. Created with new; owns itself from Popup on.
#include "ui/window_impl_base.h"

namespace tarvo {

class PopupWnd : public DuiLib::WindowImplBase {
 public:
  // Creates the window over `owner` with its top-left corner at `screenTopLeft`
  // (moved left/up when it would leave the screen) and shows it with the focus.
  // False when the window could not be created; the object is deleted then too.
  bool Popup(DuiLib::HWND owner, QPoint screenTopLeft);

  DuiLib::HWND GetOwner() const { return owner_; }

 protected:
  // A window that may take the focus without closing this one (a sub-menu); 0 for none.
  void SetCompanion(DuiLib::HWND companion) { companion_ = companion; }
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                              bool& bHandled) override;
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  DuiLib::HWND owner_ = 0;
  DuiLib::HWND companion_ = 0;
};

}  // namespace tarvo
