#pragma once

#include <QtGlobal>
#include <map>

#include "shell/commands/command_table.h"

class QKeyEvent;

namespace tarvo {

// Turns the keys pressed inside a page into the browser's commands. A command
// follows its key's release (the page has had the key by then), with the modifiers
// that were held when the key went down: a Ctrl let go a moment before the letter
// still makes Ctrl+letter.
// Threads: GUI thread. One per view, so a key gives one command however many views exist.
class PageKeyCommands {
 public:
  explicit PageKeyCommands(KeyScope scope) : scope_(scope) {}

  // Every key press and release of the view: the command to post now, or 0.
  unsigned OnKey(const QKeyEvent& event);

 private:
  const KeyScope scope_;
  std::map<int, Qt::KeyboardModifiers> heldAtPress_;  // keys down now, with the modifiers held then
};

}  // namespace tarvo
