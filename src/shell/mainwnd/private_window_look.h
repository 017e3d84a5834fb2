#pragma once
// How a private window shows what it is: a dark tab row with its own button images,
// tabs drawn for it, the marker beside the logo and a title that says so. An
// ordinary window keeps the skin's look.
//
// Threads: the GUI thread, while the window is built.
#include <QColor>

namespace DuiLib {
class WindowImplBase;
}

namespace tarvo {

class IBrowserWindow;
class TabStrip;

class PrivateWindowLook {
 public:
  static inline const QColor kTabRowColour{0x2B, 0x2D, 0x42};

  // Restyles the window's tab row and strip (the tabs to come take the look too)
  // and shows the marker. Controls the skin lacks are left alone.
  static void Apply(IBrowserWindow& window, TabStrip& strip);
  // The marker's text (in every window: hidden, it is still read) and, in a private
  // window, its title, in the current language.
  static void ShowTexts(DuiLib::WindowImplBase& window, IBrowserWindow& controls, bool isPrivate);
};

}  // namespace tarvo
