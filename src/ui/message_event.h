#pragma once
// A posted window message travelling through the Qt event queue to its window.
#include <QEvent>

#include "ui/ui_defs.h"

namespace DuiLib {

class CMessageEvent : public QEvent {
 public:
  CMessageEvent(UINT msg, WPARAM wParam, LPARAM lParam)
      : QEvent(EventType()), message(msg), wParam(wParam), lParam(lParam) {}

  // The registered event type of posted messages.
  static QEvent::Type EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }

  const UINT message;
  const WPARAM wParam;
  const LPARAM lParam;
};

}  // namespace DuiLib
