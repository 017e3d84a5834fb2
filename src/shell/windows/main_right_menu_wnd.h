#pragma once
// The right-click menu of the main window's caption area ("mainwndrightmenu.xml"):
// new tab, show the favourites bar, close the window: each posts the main window's
// command for it. Every click closes it.
//
// GUI thread only. Created with new and shown with Popup; deletes itself when closed.
#include "shell/windows/popup_wnd.h"

namespace tarvo {

class MainRightMenuWnd : public PopupWnd {
 public:
  // `mainWindow` receives the posted commands.
  explicit MainRightMenuWnd(DuiLib::HWND mainWindow) : mainWindow_(mainWindow) {}

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXMainRightMenuWnd"); }
  QString GetSkinFile() override { return QStringLiteral("mainwndrightmenu.xml"); }

 private:
  void OnClick(const QString& name);

  DuiLib::HWND mainWindow_ = 0;
};

}  // namespace tarvo
