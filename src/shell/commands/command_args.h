#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

// What a command carries besides its number; which fields a command reads is noted
// beside it in main_window_commands.h. Plain data.
struct CommandArgs {
  WString text;                 // an address or a search text
  std::vector<WString> urls;    // addresses to open together
  int64_t id = 0;               // a favourite's record id
  DuiLib::CControlUI* sender = nullptr;  // the clicked control (not owned)
};

}  // namespace tarvo
