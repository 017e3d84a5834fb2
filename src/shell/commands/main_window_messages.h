#pragma once
// The main window's private window messages. No parameter passes ownership: a text
// or other payload goes through a typed channel or a queued call instead.
#include "ui/ui_messages.h"

namespace tarvo::MainWindowMessages {

using DuiLib::UINT;
using DuiLib::WM_USER;

inline constexpr UINT kMoveTab = WM_USER + 2;                // wParam: old index; lParam: new index
inline constexpr UINT kShowDownloads = WM_USER + 8;
inline constexpr UINT kShowClearData = WM_USER + 13;
inline constexpr UINT kShowLogin = WM_USER + 14;
inline constexpr UINT kAddAccelerator = WM_USER + 24;
inline constexpr UINT kRemoveAccelerator = WM_USER + 25;
inline constexpr UINT kShowDownloadsFromEngine = WM_USER + 26;
inline constexpr UINT kShowMainMenu = WM_USER + 27;
inline constexpr UINT kRemoveBodyWindow = WM_USER + 28;

}  // namespace tarvo::MainWindowMessages
