#pragma once

#include "shell/commands/main_window_commands.h"
#include "ui/ui_messages.h"
#include "ui/window_registry.h"

namespace tarvo {

// Posts `command` to the main window `window` as the WM_COMMAND its router runs;
// `source` names what sent it (a window or a widget, or 0). False when the window is
// gone. Any thread.
inline bool PostCommand(DuiLib::HWND window, unsigned command, DuiLib::LPARAM source = 0) {
  return DuiLib::PostMessage(window, DuiLib::WM_COMMAND, DuiLib::MakeWParam(command, Commands::kCommandSource), source);
}

}  // namespace tarvo
