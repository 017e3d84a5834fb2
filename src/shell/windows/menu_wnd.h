#pragma once
// The main menu ("menu.xml") under the logo button: account, new windows, the
// favourites bar, downloads, saving the page, find, full screen, clearing data,
// language, update and default browser. It posts the main window's messages and
// commands and asks its owner (IMainMenuOwner) for the rest. Entries without an
// action yet leave the menu open; every other entry closes it first.
//
// GUI thread only. Created with new and shown with Popup; deletes itself when closed.
// The owner must outlive the menu.
#include "shell/windows/page_save_dialog.h"
#include "shell/windows/popup_wnd.h"

namespace tarvo {

class IMainMenuOwner;

class MenuWnd : public PopupWnd {
 public:
  // `mainWindow` receives the posted messages and commands.
  MenuWnd(DuiLib::HWND mainWindow, IMainMenuOwner& owner, PageSaveDialog saveDialog = PageSaveDialog())
      : mainWindow_(mainWindow), owner_(owner), saveDialog_(std::move(saveDialog)) {}

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXMenuWnd"); }
  QString GetSkinFile() override { return QStringLiteral("menu.xml"); }

 private:
  void Fill();
  void ShowUser();
  // True when the entry closes the menu.
  bool OnClick(const QString& name);
  void OnLogin();
  void OnLogout();
  void OnSave(const PageSaveDialog::FileType& type);
  void OnLanguageChosen(const QString& language);
  void PostCommand(unsigned command) const;

  DuiLib::HWND mainWindow_ = 0;
  IMainMenuOwner& owner_;
  PageSaveDialog saveDialog_;
};

}  // namespace tarvo
