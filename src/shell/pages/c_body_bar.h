#pragma once

#include <QPointer>
#include <QWidget>
#include <mutex>
#include <vector>

#include "ui/window_wnd.h"

namespace tarvo {

class ITabBody;

// The native child window in which the engine windows live: one body window shown at
// a time, all of them sized to fill it. A body selected before its engine window
// exists is kept pending and shown as soon as the engine announces the window
// (WM_USER+21 from the Chromium client, WM_USER+22 from the compatibility body; a
// window that is gone by the time its message arrives is ignored).
//
// Threads: the window's operations run on the main window's thread; mutex_ guards
// the list of body windows, which is copied under it and moved outside it.
// Lifetime: owned by its CBodyBarUI; body windows become its children and go with it
// unless their bodies close them first.
class CBodyBar : public DuiLib::CWindowWnd {
 public:
  // The window's object name.
  static constexpr const char* kName = "bodyBar";

  // Shows the body's window in place of the one shown before; a body without a
  // window yet is remembered as pending.
  void Show(ITabBody* body);
  // Shows `window` (a page's own widget in place of its body, such as the
  // crashed-page notice) in place of the one shown before; nothing is pending then.
  void ShowWindow(QWidget* window);
  // Takes the window in (child of the bar, listed, sized) without hiding others.
  void Add(QWidget* window);
  // Drops every list entry of the window.
  void Remove(QWidget* window);
  // Sizes every listed window that still exists to the bar's client area.
  void Resize();
  // Forgets a body that goes away (it is no longer pending).
  void Forget(ITabBody* body);

  QWidget* ShownWindow() const { return shown_; }
  ITabBody* PendingBody() const { return pending_; }
  std::vector<QWidget*> Windows() const;

 protected:
  QString GetWindowClassName() const override { return QString::fromLatin1(kName); }
  DuiLib::LRESULT HandleMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;

 private:
  void List(QWidget* window);
  // The child window an engine announced by address, or nullptr when no child of the
  // bar has that address any more.
  QWidget* LiveChild(DuiLib::WPARAM announced) const;
  QRect ClientRect() const;

  mutable std::mutex mutex_;
  std::vector<QPointer<QWidget>> windows_;  // guarded by mutex_; not owned (children)
  QPointer<QWidget> shown_;
  ITabBody* pending_ = nullptr;  // not owned: its page forgets it before going
};

}  // namespace tarvo
