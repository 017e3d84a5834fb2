#pragma once
// What the main window's own command sets and menu owner ask of it beyond what a
// feature may (IBrowserWindow): the toolkit window under it, its group, the
// favourites-bar slot, full screen, the address bar's focus and the main menu's owner.
// They hold this rather than the window class, so they do not depend on how the
// window is built.
//
// Threads: the GUI thread. Lifetime: the window outlives the command sets it owns.
#include "shell/mainwnd/i_browser_window.h"

namespace DuiLib {
class WindowImplBase;
}

namespace tarvo {

class BrowserWindows;
class FullScreenController;
class IMainMenuOwner;

class IMainWindow : public IBrowserWindow {
 public:
  // The toolkit window itself: its system commands, widget and keyboard focus.
  virtual DuiLib::WindowImplBase& Frame() = 0;
  // The group of windows this one belongs to.
  virtual BrowserWindows& Group() const = 0;
  // Null before the window exists.
  virtual FullScreenController* FullScreen() const = 0;
  // Shows (re-creates) or hides the favourites bar.
  virtual void ShowFavoriteBar() = 0;
  virtual void HideFavoriteBar() = 0;
  // Puts the keyboard into the address bar with its text selected.
  virtual void FocusAddressBar() = 0;
  // The owner the main menu asks.
  virtual IMainMenuOwner& MenuOwner() const = 0;
};

}  // namespace tarvo
