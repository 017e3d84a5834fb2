#include "shell/pages/page_key_commands.h"

#include <QKeyEvent>

#include "ui/key_codes.h"

namespace tarvo {

unsigned PageKeyCommands::OnKey(const QKeyEvent& event) {
  if (event.isAutoRepeat()) return 0;
  if (event.type() == QEvent::KeyPress) {
    heldAtPress_[event.key()] = event.modifiers();
    return 0;
  }
  if (event.type() != QEvent::KeyRelease) return 0;
  Qt::KeyboardModifiers held = event.modifiers();
  if (const auto pressed = heldAtPress_.find(event.key()); pressed != heldAtPress_.end()) {
    held = pressed->second;
    heldAtPress_.erase(pressed);
  }
  return CommandTable::ForKey(scope_, DuiLib::VirtualKeyFromQtKey(event.key()), DuiLib::KeyModifierBits(held));
}

}  // namespace tarvo
