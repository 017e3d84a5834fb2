#pragma once
// The records that travel inside the toolkit: input events to controls and
// notifications from controls to windows.
#include <QPoint>
#include <QString>

#include "ui/ui_defs.h"

namespace DuiLib {

class CControlUI;

enum class UIEvent {
  kMouseEnter,
  kMouseLeave,
  kMouseMove,
  kButtonDown,
  kButtonUp,
  kDblClick,
  kRButtonDown,
  kRButtonUp,
  kScrollWheel,
  kKeyDown,
  kChar,
  kSetFocus,
  kKillFocus,
};

struct TEventUI {
  UIEvent type = UIEvent::kMouseMove;
  CControlUI* pSender = nullptr;
  QPoint ptMouse;          // window client coordinates
  unsigned key = 0;        // virtual key (kKeyDown) or UTF-16 unit (kChar)
  unsigned modifiers = 0;  // MK_* bits
  int wheelDelta = 0;      // positive: away from the user
};

// A notification: what happened (one of ui_notify_types.h), to which control, with two
// parameters whose meaning depends on the type (for "itemselect": new and old index).
struct TNotifyUI {
  QString sType;
  CControlUI* pSender = nullptr;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  QPoint ptMouse;  // window client coordinates when a mouse caused it
};

}  // namespace DuiLib
