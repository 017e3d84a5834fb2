#include "ui/key_codes.h"

#include "ui/ui_messages.h"

namespace DuiLib {

unsigned VirtualKeyFromQtKey(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
    return static_cast<unsigned>('A' + (qtKey - Qt::Key_A));
  }
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    return static_cast<unsigned>('0' + (qtKey - Qt::Key_0));
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
    return VK_F1 + static_cast<unsigned>(qtKey - Qt::Key_F1);
  }
  switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Minus: return VK_OEM_MINUS;
    default: return 0;
  }
}

unsigned KeyModifierBits(Qt::KeyboardModifiers modifiers) {
  unsigned bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) bits |= MK_CONTROL;
  if (modifiers & Qt::AltModifier) bits |= MK_ALT;
  return bits;
}

}  // namespace DuiLib
