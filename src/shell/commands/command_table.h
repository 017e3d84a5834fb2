#pragma once
// The one table from the window's controls, keys and private messages to command
// numbers. The main window's click routing, its key bindings, the address bar, the
// two engines' page key filters and the menus all read it, so a key or an entry is
// bound in one place.
//
// Threads: any (constant data).
#include <QString>
#include <utility>
#include <vector>

namespace tarvo {

// Where a control was used: the same name means different things on different
// surfaces ("favor_btn" is the star in the toolbar and the favourites bar's switch in
// the main menu).
enum class ControlSurface { kWindow, kMainMenu, kCaptionMenu };
enum class ControlEvent { kClick, kRightClick, kReturn };

// Where a key was pressed. The window's own controls match modifiers exactly; inside
// a page and in the address bar a binding's modifiers need only be held, and keys
// without modifiers (F5, F11, Esc) act whatever else is held.
enum class KeyScope : unsigned {
  kWindow = 1,
  kChromiumPage = 2,
  kCompatPage = 4,
  kAddressBar = 8,
};

class CommandTable {
 public:
  // The command of `event` on the control `name` of `surface`, or 0.
  static unsigned ForControl(ControlSurface surface, ControlEvent event, const QString& name);
  // The command of virtual key `vk` with the MK_* modifier bits `modifiers` in
  // `scope`, or 0 when the key is not bound there.
  static unsigned ForKey(KeyScope scope, unsigned vk, unsigned modifiers);
  // Every control of `surface` that has a click command, with the command.
  static std::vector<std::pair<QString, unsigned>> ControlsOf(ControlSurface surface);
  // The command a private window message stands for (WM_USER+8 shows the downloads,
  // ...), or 0.
  static unsigned ForMessage(unsigned message);
};

}  // namespace tarvo
