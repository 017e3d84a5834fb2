#pragma once
// The main window's thirteen key bindings: which command a key press in the window's
// own controls stands for. Pages have their own key filter; this table is for the
// tab strip, toolbar, address bar and search box.
//
// Threads: any (pure functions).
#include "ui/ui_defs.h"

namespace tarvo {

class KeyBindings {
 public:
  // The command (Commands::k...) for virtual key `vk` with the MK_* modifier bits
  // `modifiers`, or 0 when the key is not bound. Modifiers must match exactly, so
  // Ctrl+Shift+W is not Ctrl+W.
  static unsigned CommandFor(unsigned vk, unsigned modifiers);
};

}  // namespace tarvo
