#pragma once
// Window styles accepted by CWindowWnd::Create. Only the bits that mean something for a
// skinned window on Linux are acted on (see CWindowWnd::Create); the rest are accepted
// so that style words written for the original program pass through unchanged.
#include "ui/ui_defs.h"

namespace DuiLib {

constexpr UINT WS_OVERLAPPED = 0x00000000;
constexpr UINT WS_POPUP = 0x80000000;
constexpr UINT WS_CHILD = 0x40000000;
constexpr UINT WS_MINIMIZE = 0x20000000;
constexpr UINT WS_VISIBLE = 0x10000000;
constexpr UINT WS_DISABLED = 0x08000000;
constexpr UINT WS_CLIPSIBLINGS = 0x04000000;
constexpr UINT WS_CLIPCHILDREN = 0x02000000;
constexpr UINT WS_MAXIMIZE = 0x01000000;
constexpr UINT WS_CAPTION = 0x00C00000;
constexpr UINT WS_BORDER = 0x00800000;
constexpr UINT WS_SYSMENU = 0x00080000;
constexpr UINT WS_THICKFRAME = 0x00040000;
constexpr UINT WS_MINIMIZEBOX = 0x00020000;
constexpr UINT WS_MAXIMIZEBOX = 0x00010000;
constexpr UINT WS_OVERLAPPEDWINDOW = 0x00CF0000;

constexpr UINT WS_EX_DLGMODALFRAME = 0x00000001;
constexpr UINT WS_EX_TOPMOST = 0x00000008;
constexpr UINT WS_EX_TOOLWINDOW = 0x00000080;
constexpr UINT WS_EX_WINDOWEDGE = 0x00000100;
constexpr UINT WS_EX_APPWINDOW = 0x00040000;
// The toolkit's own: a pop-up of its parent window (a menu, a drop-down, a small window
// under a toolbar button), placed at a point over the parent and dismissed by a click
// elsewhere. Where the display server places top-level windows itself (Wayland), it is
// a pop-up of the parent (Qt::Popup), which the compositor places relative to the
// parent; elsewhere it is a frameless tool window like any other.
constexpr UINT WS_EX_ANCHORED_POPUP = 0x80000000;

// The toolkit's usual combinations.
constexpr UINT UI_WNDSTYLE_FRAME = WS_VISIBLE | WS_OVERLAPPEDWINDOW;
constexpr UINT UI_WNDSTYLE_DIALOG = WS_VISIBLE | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr UINT UI_WNDSTYLE_EX_FRAME = WS_EX_WINDOWEDGE;
constexpr UINT UI_WNDSTYLE_EX_DIALOG = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;

// Position or size chosen by the toolkit (the window's skin size, centred later).
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

}  // namespace DuiLib
