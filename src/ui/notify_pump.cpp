#include "ui/notify_pump.h"

#include "ui/control_ui.h"

namespace DuiLib {

bool CNotifyPump::AddVirtualWnd(const QString& name, CNotifyPump* handler) {
  if (name.isEmpty() || handler == nullptr || virtualWnds_.contains(name)) {
    return false;
  }
  virtualWnds_.insert(name, handler);
  return true;
}

bool CNotifyPump::RemoveVirtualWnd(const QString& name) { return virtualWnds_.remove(name) > 0; }

bool CNotifyPump::NotifyPump(TNotifyUI& msg) {
  if (msg.pSender != nullptr) {
    const QString virtualWnd = msg.pSender->GetVirtualWnd();
    if (CNotifyPump* handler = virtualWnds_.value(virtualWnd, nullptr)) {
      return handler->HandleNotify(msg);
    }
  }
  return HandleNotify(msg);
}

}  // namespace DuiLib
