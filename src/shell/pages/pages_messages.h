#pragma once

#include "ui/ui_messages.h"

namespace tarvo::PagesMessages {

using DuiLib::UINT;
using DuiLib::WM_USER;

// The body bar's own messages; the main window's messages and command numbers are in
// shell/main_window_messages.h and shell/main_window_commands.h.

// A new Chromium / compatibility body window exists (wParam: the window, a QWidget*;
// lParam: the body, an ITabBody*).
inline constexpr UINT kAddCefBody = WM_USER + 21;
inline constexpr UINT kAddIeBody = WM_USER + 22;
// Accepted and ignored.
inline constexpr UINT kBodyBarIgnored = WM_USER + 29;

}  // namespace tarvo::PagesMessages
