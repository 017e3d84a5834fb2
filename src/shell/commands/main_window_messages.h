#pragma once
// The main window's private window messages. Parameters that point to heap objects
// pass ownership to the main window, which deletes them after acting.
#include "ui/ui_messages.h"

namespace tarvo::MainWindowMessages {

using DuiLib::UINT;
using DuiLib::WM_USER;

inline constexpr UINT kMoveTab = WM_USER + 2;                // wParam: old index; lParam: new index
inline constexpr UINT kNavigateTyped = WM_USER + 3;          // wParam: page or 0; lParam: new tarvo::WString*
inline constexpr UINT kShowDownloads = WM_USER + 8;
inline constexpr UINT kShowClearData = WM_USER + 13;
inline constexpr UINT kShowLogin = WM_USER + 14;
inline constexpr UINT kOpenCompatibilityTab = WM_USER + 23;  // wParam: new tarvo::WString* URL
inline constexpr UINT kAddAccelerator = WM_USER + 24;
inline constexpr UINT kRemoveAccelerator = WM_USER + 25;
inline constexpr UINT kShowDownloadsFromEngine = WM_USER + 26;
inline constexpr UINT kShowMainMenu = WM_USER + 27;
inline constexpr UINT kRemoveBodyWindow = WM_USER + 28;

}  // namespace tarvo::MainWindowMessages
