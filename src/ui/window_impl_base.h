#pragma once
// The base of every skinned window: names its window class and skin file, builds its
// controls from the skin package when created (then sends "windowinit"), creates the
// controls of custom tags through CreateControl, hears its controls' notifications in
// Notify and every message first in MessageHandler, drags by its caption area and
// resizes by its size box. By default Escape closes the window with code 1; Return is
// left to the controls. Override ResponseDefaultKeyEvent (or MessageHandler) to change
// that.
//
// GUI thread. Lifetime as CWindowWnd: the final clean-up releases the controls and
// unregisters the window from its own manager but never deletes the window object.
#include <QPoint>
#include <QSet>
#include <memory>

#include "ui/control_ui.h"
#include "ui/notify_pump.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_interfaces.h"
#include "ui/window_wnd.h"

namespace DuiLib {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase();
  ~WindowImplBase() override;

  // Notifications of this window's controls; the default hands them to the notify
  // pump (virtual windows, then HandleNotify).
  void Notify(TNotifyUI& msg) override;
  // Sees every message first; the default answers Return/Escape key presses through
  // ResponseDefaultKeyEvent.
  LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  // Custom tags of the skin file; the default knows none.
  std::unique_ptr<CControlUI> CreateControl(const QString& tag) override;

  // The first control named `name`, or null (logged once per name when missing).
  CControlUI* FindControl(const QString& name);
  template <class T>
  T* FindControl(const QString& name) {
    return dynamic_cast<T*>(FindControl(name));
  }
  CPaintManagerUI& GetPaintManager() { return m_pm; }

  bool OnNativeEvent(QEvent* event) override;
  void OnNativePaint(QPainter& painter, const QRect& dirty) override;
  LRESULT DispatchKeyMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  // A folder inside the package prefixed to the skin file (empty: the package root).
  virtual QString GetSkinFolder() { return QString(); }
  virtual QString GetSkinFile() = 0;
  // Runs after the controls are built, before "windowinit" is sent.
  virtual void InitWindow() {}
  // Return and Escape: true when the key was taken. Default: Escape closes with 1.
  virtual bool ResponseDefaultKeyEvent(WPARAM key);
  // Messages the window wants before the built-in handling; set `bHandled` to stop.
  virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;
  // Hit test in client coordinates: HTCAPTION, a size-box edge or HTCLIENT.
  LRESULT HitTest(QPoint clientPoint) const;

  CPaintManagerUI m_pm;

 private:
  LRESULT OnCreate();
  bool HandleFrameMouse(QEvent* event);
  LRESULT Route(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled);

  bool dragging_ = false;
  QPoint dragOffset_;
  QSet<QString> missingReported_;
};

}  // namespace DuiLib
