#pragma once
// Plain value types shared by every part of the toolkit: the message parameter types,
// rectangles and sizes in the skin's integer pixels, and the window handle.
#include <QMargins>
#include <QRect>
#include <QSize>
#include <cstdint>

namespace DuiLib {

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A native window handle: a process-unique number given to every toolkit window while
// its native window exists; 0 means "no window". Handles are never reused, so a stale
// handle simply reaches nobody.
using HWND = std::uintptr_t;

// Skin rectangles are written "left,top,right,bottom"; padding, inset and corners use
// the same four numbers as distances, so both share one type.
struct RECT {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const RECT&) const = default;
};

struct SIZE {
  int cx = 0;
  int cy = 0;
  bool operator==(const SIZE&) const = default;
};

inline QMargins ToMargins(const RECT& r) { return QMargins(r.left, r.top, r.right, r.bottom); }

// Packing helpers with the usual meaning: two 16-bit halves in one parameter.
constexpr WPARAM MakeWParam(unsigned low, unsigned high) {
  return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<unsigned>(low) & 0xFFFFu) |
                                                        ((static_cast<unsigned>(high) & 0xFFFFu) << 16)));
}
constexpr unsigned LoWord(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFFu); }
constexpr unsigned HiWord(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFFu); }
// Signed halves, for coordinates and wheel deltas.
constexpr int LoShort(std::uintptr_t v) { return static_cast<std::int16_t>(v & 0xFFFFu); }
constexpr int HiShort(std::uintptr_t v) { return static_cast<std::int16_t>((v >> 16) & 0xFFFFu); }

}  // namespace DuiLib
