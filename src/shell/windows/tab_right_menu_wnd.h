#pragma once
// The right-click menu of one tab ("tabwndrightmenu.xml"): pin or unpin it, or
// close the menu. The tab itself is reached through the opener's functions, so the
// menu does not depend on the page model.
//
// GUI thread only. Created with new and shown with Popup; deletes itself when closed.
#include <functional>

#include "shell/windows/popup_wnd.h"

namespace tarvo {

class TabRightMenuWnd : public PopupWnd {
 public:
  struct TabActions {
    std::function<bool()> isPinned;
    std::function<void()> pin;
    std::function<void()> unpin;
  };

  explicit TabRightMenuWnd(TabActions tab) : tab_(std::move(tab)) {}

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXTabRightMenuWnd"); }
  QString GetSkinFile() override { return QStringLiteral("tabwndrightmenu.xml"); }

 private:
  void ShowPinState();

  TabActions tab_;
};

}  // namespace tarvo
