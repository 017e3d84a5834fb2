#pragma once
// Translation of Qt keys and modifiers into the virtual-key numbers and MK_* bits that
// key and wheel messages carry.
#include <Qt>

namespace DuiLib {

// The virtual key for a Qt key, or 0 for keys without one.
unsigned VirtualKeyFromQtKey(int qtKey);
// MK_SHIFT, MK_CONTROL and MK_ALT bits for the modifiers held.
unsigned KeyModifierBits(Qt::KeyboardModifiers modifiers);

}  // namespace DuiLib
