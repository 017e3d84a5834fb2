#pragma once

#include "engines/ie/key_message.h"

namespace tarvo::ie {

// Sees every key message of a compatibility view before the page does.
// Threads: GUI thread.
class AcceleratorTranslator {
 public:
  virtual ~AcceleratorTranslator() = default;
  // Return true when the message was consumed; false lets the page have it (so
  // Tab, arrows and editing keys keep working inside the page).
  virtual bool TranslateAccelerator(const KeyMessage& message) = 0;
};

}  // namespace tarvo::ie
