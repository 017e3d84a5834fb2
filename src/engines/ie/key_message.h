#pragma once

#include <cstdint>

namespace tarvo::ie {

// A keyboard message in the form the main window's accelerators use: the message
// number and the virtual-key code of the key.
struct KeyMessage {
  static constexpr uint32_t kKeyDown = 0x0100;
  static constexpr uint32_t kKeyUp = 0x0101;
  static constexpr uint32_t kVkEscape = 0x1B;
  static constexpr uint32_t kVkF1 = 0x70;
  static constexpr uint32_t kVkF5 = 0x74;
  static constexpr uint32_t kVkF11 = 0x7A;

  uint32_t message = 0;
  uint32_t virtual_key = 0;  // 0 for keys without a code here
  bool control = false;
  bool alt = false;
  bool shift = false;
};

}  // namespace tarvo::ie
