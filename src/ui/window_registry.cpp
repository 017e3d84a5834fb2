#include "ui/window_registry.h"

#include <QCoreApplication>

#include "ui/message_event.h"

namespace DuiLib {

CWindowRegistry& CWindowRegistry::Instance() {
  static CWindowRegistry instance;
  return instance;
}

HWND CWindowRegistry::Register(CWindowWnd* window, QWidget* host) {
  const HWND hwnd = next_.fetch_add(1);
  std::lock_guard<std::mutex> lock(mutex_);
  windows_[hwnd] = Entry{window, host};
  return hwnd;
}

void CWindowRegistry::Unregister(HWND hwnd) {
  std::lock_guard<std::mutex> lock(mutex_);
  windows_.erase(hwnd);
}

CWindowWnd* CWindowRegistry::Find(HWND hwnd) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = windows_.find(hwnd);
  return it != windows_.end() && it->second.host ? it->second.window : nullptr;
}

HWND CWindowRegistry::FindByWidget(const QWidget* widget) const {
  if (widget == nullptr) {
    return 0;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [hwnd, entry] : windows_) {
    if (entry.host.data() == widget) {
      return hwnd;
    }
  }
  return 0;
}

bool CWindowRegistry::Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = windows_.find(hwnd);
  if (it == windows_.end() || it->second.host.isNull()) {
    return false;
  }
  QCoreApplication::postEvent(it->second.host.data(), new CMessageEvent(msg, wParam, lParam));
  return true;
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CWindowRegistry::Instance().Post(hwnd, msg, wParam, lParam);
}

}  // namespace DuiLib
