#pragma once

#include "ui/ui_messages.h"
#include "ui/window_impl_base.h"

namespace tarvo {

// The base of the account and protection dialogs: a frameless tool window titled
// with its class name, run modally and centred over its owner. Escape closes it
// with IDCANCEL, so a dismissed dialog never reads as a success (IDOK).
//
// GUI thread. The object lives on the caller's stack.
class CentredDialog : public DuiLib::WindowImplBase {
 public:
  // Runs the window over `owner` until it closes; returns its close code, or -1 when
  // it could not be made.
  int Run(DuiLib::HWND owner) {
    if (Create(owner, GetWindowClassName(), DuiLib::WS_POPUP, DuiLib::WS_EX_TOOLWINDOW) == 0) return -1;
    CenterWindow();
    return ShowModal();
  }

 protected:
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM key) override {
    if (key != DuiLib::VK_ESCAPE) return false;
    Close(DuiLib::IDCANCEL);
    return true;
  }
};

}  // namespace tarvo
