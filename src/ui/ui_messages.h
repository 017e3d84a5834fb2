#pragma once
// The window message numbers, parameters and key codes of the toolkit's message queue.
// The numbers are the classic ones, so code written against them reads as designed.
#include "ui/ui_defs.h"

namespace DuiLib {

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;           // wParam: SIZE_*; lParam: MakeLParam(width, height)
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;      // wParam: handle of the toolkit window taking the focus, or 0
constexpr UINT WM_CLOSE = 0x0010;          // wParam: the close code
constexpr UINT WM_NCHITTEST = 0x0084;      // lParam: MakeLParam(screen x, screen y); result: HT*
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;  // wParam: HTCAPTION; lParam: screen point
constexpr UINT WM_KEYDOWN = 0x0100;        // wParam: virtual key; lParam: MK_* modifier bits
constexpr UINT WM_KEYUP = 0x0101;          // as WM_KEYDOWN
constexpr UINT WM_CHAR = 0x0102;           // wParam: UTF-16 code unit
constexpr UINT WM_SYSKEYDOWN = 0x0104;     // as WM_KEYDOWN, with Alt held
constexpr UINT WM_COMMAND = 0x0111;        // wParam: MakeWParam(command, source); lParam: sender handle
constexpr UINT WM_SYSCOMMAND = 0x0112;     // wParam: SC_*
constexpr UINT WM_TIMER = 0x0113;          // wParam: the timer id
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MOUSEWHEEL = 0x020A;     // wParam: MakeWParam(MK_* bits, delta); lParam: screen point
constexpr UINT WM_USER = 0x0400;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND kinds.
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;

// Modifier bits of key and wheel messages.
constexpr unsigned MK_LBUTTON = 0x0001;
constexpr unsigned MK_RBUTTON = 0x0002;
constexpr unsigned MK_SHIFT = 0x0004;
constexpr unsigned MK_CONTROL = 0x0008;
constexpr unsigned MK_ALT = 0x0020;

// Hit-test answers of WM_NCHITTEST.
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;

// Dialog results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Virtual keys (letters and digits are their upper-case ASCII codes).
constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_SHIFT = 0x10;
constexpr unsigned VK_CONTROL = 0x11;
constexpr unsigned VK_MENU = 0x12;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;
constexpr unsigned VK_NEXT = 0x22;
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_DELETE = 0x2E;
constexpr unsigned VK_APPS = 0x5D;  // the context-menu key
constexpr unsigned VK_F1 = 0x70;
constexpr unsigned VK_F4 = 0x73;
constexpr unsigned VK_F5 = 0x74;
constexpr unsigned VK_F6 = 0x75;
constexpr unsigned VK_F10 = 0x79;
constexpr unsigned VK_F11 = 0x7A;
constexpr unsigned VK_F12 = 0x7B;
constexpr unsigned VK_OEM_PLUS = 0xBB;
constexpr unsigned VK_OEM_MINUS = 0xBD;

}  // namespace DuiLib
