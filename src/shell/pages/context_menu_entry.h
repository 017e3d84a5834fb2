#pragma once
// An entry a feature adds to the pages' context menu through the engines' ports. The
// engine places it among its own items and gives it a command of its own; the entry
// is always shown, and enabled only over the spot it works on.
//
// Threads: made at registration; `run` is called on the GUI thread.
#include <functional>

#include "platform/text.h"

namespace tarvo {

struct ContextMenuEntry {
  // The spot the entry works on, and what `run` is given: the link's address, the
  // selected text, or the page's address (always there).
  enum class Target { kLink, kSelection, kPage };

  // The language key of the entry's label.
  const char16_t* labelKey;
  Target target;
  std::function<void(const WString& target)> run;
};

}  // namespace tarvo
