#pragma once
// The main menu ("menu.xml") under the logo button: account, new windows, the
// favourites bar, downloads, saving the page, find, full screen, clearing data,
// language, update and default browser. Each entry posts the main window's command
// for it (CommandTable) and closes the menu; an entry whose command can't run now is
// greyed out. The owner (IMainMenuOwner) tells the user and the versions.
//
// GUI thread only. Created with new and shown with Popup; deletes itself when closed.
// The owner must outlive the menu.
#include "shell/windows/popup_wnd.h"

namespace tarvo {

class IMainMenuOwner;

class MenuWnd : public PopupWnd {
 public:
  // `mainWindow` receives the posted commands.
  MenuWnd(DuiLib::HWND mainWindow, IMainMenuOwner& owner) : mainWindow_(mainWindow), owner_(owner) {}

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXMenuWnd"); }
  QString GetSkinFile() override { return QStringLiteral("menu.xml"); }

 private:
  void Fill();
  void ShowUser();
  void EnableEntries();
  // True when the entry closes the menu.
  bool OnClick(const QString& name);
  void OnLanguageChosen(const QString& language);

  DuiLib::HWND mainWindow_ = 0;
  IMainMenuOwner& owner_;
};

}  // namespace tarvo
