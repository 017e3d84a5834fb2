#pragma once
// Maps window handles to live native windows, so a message can be posted to a handle
// from any thread and reaches nobody once the window is gone.
//
// Threads: any thread may post; registration and lookup for use happen on the GUI
// thread. The map is guarded by mutex_, which is also held while a message is queued,
// so a window can't be destroyed between lookup and queueing.
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <mutex>
#include <unordered_map>

#include "ui/ui_defs.h"

namespace DuiLib {

class CWindowWnd;

class CWindowRegistry {
 public:
  // The one instance, created on first use; lives until the process ends.
  // Process-wide by design: it knows every toolkit window of the process.
  static CWindowRegistry& Instance();

  // A fresh handle for `window` whose native widget is `host`. GUI thread.
  HWND Register(CWindowWnd* window, QWidget* host);
  // Forgets the handle. GUI thread.
  void Unregister(HWND hwnd);
  // The window object behind a handle, or null. GUI thread.
  CWindowWnd* Find(HWND hwnd) const;
  // The handle of the toolkit window whose native widget is `widget`, or 0.
  HWND FindByWidget(const QWidget* widget) const;
  // Queues a message for the window; false when the handle names no window. Any thread.
  bool Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  struct Entry {
    CWindowWnd* window;  // not owned
    QPointer<QWidget> host;
  };
  mutable std::mutex mutex_;
  std::unordered_map<HWND, Entry> windows_;
  std::atomic<HWND> next_{0x1000};
};

// Queues a message for a window by handle; false when no such window exists. Any thread.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace DuiLib
