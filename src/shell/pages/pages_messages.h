#pragma once

#include "ui/ui_messages.h"

namespace tarvo::PagesMessages {

using DuiLib::UINT;
using DuiLib::WM_USER;

// To the main window: a dragged tab was dropped (wParam: index before, lParam: after).
inline constexpr UINT kMoveTab = WM_USER + 2;
// To the main window: open the URL in a new compatibility tab (wParam: heap WString*,
// the receiver deletes it).
inline constexpr UINT kOpenIeTab = WM_USER + 23;
// To the main window: add / remove a compatibility body's key translator
// (wParam: the body's DuiLib::ITranslateAccelerator).
inline constexpr UINT kAddTranslator = WM_USER + 24;
inline constexpr UINT kRemoveTranslator = WM_USER + 25;
// To the main window: show the download window with automatic closing.
inline constexpr UINT kShowDownloadsAutoClose = WM_USER + 26;
// To the main window: a browser closed (wParam: its window, a QWidget*); the body bar
// forgets it.
inline constexpr UINT kBrowserClosed = WM_USER + 28;

// To the body bar: a new Chromium / compatibility body window exists (wParam: the
// window, a QWidget*; lParam: the body, an ITabBody*).
inline constexpr UINT kAddCefBody = WM_USER + 21;
inline constexpr UINT kAddIeBody = WM_USER + 22;
// To the body bar: accepted and ignored.
inline constexpr UINT kBodyBarIgnored = WM_USER + 29;

// Commands of the main window's key bindings, posted as WM_COMMAND with 1 in the
// high word of wParam.
inline constexpr unsigned kCommandCloseTab = 40000;
inline constexpr unsigned kCommandFind = 40002;
inline constexpr unsigned kCommandFullScreen = 40003;
inline constexpr unsigned kCommandHistory = 40004;
inline constexpr unsigned kCommandReload = 40011;
inline constexpr unsigned kCommandEscape = 40012;

}  // namespace tarvo::PagesMessages
