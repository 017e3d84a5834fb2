#pragma once
// The main window's commands for itself: the caption buttons, the main menu and the
// caption area's menu, the favourites bar, full screen, the clipboard and the
// protection switch's messages.
//
// Threads: GUI thread. Lifetime: owned by the main window, which it refers to
// (non-owning).
#include <QPoint>

#include "platform/text.h"

namespace tarvo {

class CommandRouter;
class IMainWindow;

class WindowCommands {
 public:
  // Registers its commands on `router`.
  WindowCommands(IMainWindow& window, CommandRouter& router);

  // The caption area's right-click menu at `screenPoint`.
  void ShowCaptionMenu(QPoint screenPoint);

 private:
  void ShowMainMenu();
  // F6: from the page to the address bar (its text selected), from anywhere else to
  // the page.
  void FocusNextPane();
  void ShowMessage(WStringView languageKey);

  IMainWindow& window_;
};

}  // namespace tarvo
