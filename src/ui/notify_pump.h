#pragma once
// Routes notifications to "virtual windows": parts of a window that handle the
// notifications of the controls marked with their name ("virtualwnd" attribute), so a
// large window can hand groups of controls to separate handler objects.
#include <QHash>
#include <QString>

#include "ui/ui_event.h"

namespace DuiLib {

class CNotifyPump {
 public:
  virtual ~CNotifyPump() = default;

  // Registers a handler for controls marked `name`; false when the name is taken. The
  // handler must outlive its registration.
  bool AddVirtualWnd(const QString& name, CNotifyPump* handler);
  bool RemoveVirtualWnd(const QString& name);
  // Delivers `msg` to the virtual window of its sender if one is registered, else to
  // this object's HandleNotify. Returns whether a handler took it.
  bool NotifyPump(TNotifyUI& msg);

 protected:
  // The notifications that reach this pump; true when handled.
  virtual bool HandleNotify(TNotifyUI&) { return false; }

 private:
  QHash<QString, CNotifyPump*> virtualWnds_;  // not owned
};

}  // namespace DuiLib
