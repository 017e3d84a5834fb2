#pragma once
// A toolkit window: a native (Qt) window with a message queue of its own. Messages are
// posted (queued, any thread through the handle) or sent (handled at once) and all go
// through HandleMessage on the GUI thread. Windows are shown modeless or run modally
// in their own event loop, which returns the code they were closed with.
//
// Lifetime: the window object belongs to its owner. Its native window lives from Create
// until it is closed (or its parent goes away); OnFinalMessage runs last and may delete
// the object. GUI thread only, except the handle-based PostMessage.
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QString>

#include "ui/ui_defs.h"
#include "ui/ui_messages.h"
#include "ui/ui_window_styles.h"

class QEvent;
class QEventLoop;
class QPainter;
class QWidget;

namespace DuiLib {

class CWindowHost;

class CWindowWnd {
 public:
  CWindowWnd();
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  // The handle while the native window exists, else 0.
  HWND GetHWND() const { return hwnd_; }
  // The native widget while it exists, else null.
  QWidget* GetWidget() const;

  // Creates the native window. `parent` (a handle, or 0) keeps this window above it and
  // ends with it. Styles: WS_CHILD makes a child widget of the parent; every other
  // window is a frameless top-level (the skin draws its frame and caption);
  // WS_EX_TOOLWINDOW keeps it off the task bar, WS_EX_TOPMOST above other windows,
  // WS_EX_ANCHORED_POPUP makes a window with a parent a pop-up of it (see the style),
  // WS_VISIBLE shows it at once. CW_USEDEFAULT sizes come from the skin. Sends
  // WM_CREATE. Returns the handle, or 0 when a window already exists.
  HWND Create(HWND parent, const QString& title, UINT style, UINT exStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT);
  HWND Create(HWND parent, const QString& title, UINT style, UINT exStyle, const QRect& rc);

  // Shows or hides the window without a loop; `takeFocus` activates it.
  void ShowWindow(bool show = true, bool takeFocus = true);
  // Shows the window and runs an event loop until it closes; returns the close code
  // (-1 when there is no window). The window may be deleted by OnFinalMessage before
  // this returns, so callers must not touch it afterwards unless they own it.
  int ShowModal();
  bool IsModal() const { return modalLoop_ != nullptr; }
  // Queues WM_CLOSE carrying `code`; the window closes when it is handled.
  void Close(int code = IDOK);
  // Centres on the parent window, or on the screen when there is none.
  void CenterWindow();
  void ResizeClient(int cx, int cy);
  // Window rectangle in screen coordinates.
  QRect GetWindowRect() const;
  void SetWindowRect(const QRect& rc);
  void SetWindowTitle(const QString& title);
  // Keeps the window above all others (or stops doing so).
  void SetTopMost(bool topMost);

  // False where the display server, not the program, places top-level windows
  // (Wayland): a window's position there is known only relative to its parent, and a
  // top-level window is placed once, by the size it has when it is first shown.
  static bool CanPlaceTopLevelWindows();

  // Handles a message now and returns its result.
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Queues a message for this window; false when there is no native window.
  bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  // Starts (or restarts) timer `id`; WM_TIMER with wParam = id arrives every `ms`.
  bool SetTimer(UINT id, UINT ms);
  bool KillTimer(UINT id);
  void KillAllTimers();

  // Entry points for the native widget (CWindowHost); not for other callers.
  virtual bool OnNativeEvent(QEvent* event);
  virtual void OnNativePaint(QPainter& painter, const QRect& dirty);
  void OnHostDestroyed();
  // A key message: the window decides whether it is consumed (`handled`).
  virtual LRESULT DispatchKeyMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

 protected:
  // The native window class name ("KXMainFrm"); also the Qt object name.
  virtual QString GetWindowClassName() const = 0;
  // Default handling: WM_CLOSE destroys the native window and ends a modal loop.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The last call for a native window, after it is gone; may delete this object.
  virtual void OnFinalMessage(HWND hwnd);

  // Destroys the native window now; `code` ends a modal loop. Runs OnFinalMessage last.
  void DestroyNative(int code);
  UINT GetStyle() const { return style_; }
  UINT GetExStyle() const { return exStyle_; }

 private:
  WPARAM CurrentSizeKind() const;
  void PostKillFocus();
  bool IsPopup() const;
  // Qt closed the pop-up (a click elsewhere, or the compositor dismissed it): the
  // window hears that its focus went away, as when any other window loses it, and
  // is closed with IDCANCEL unless it closes itself.
  void OnPopupDismissed();

  HWND hwnd_ = 0;
  QPointer<CWindowHost> host_;
  QEventLoop* modalLoop_ = nullptr;  // not owned: the loop of a running ShowModal
  QHash<UINT, int> timers_;          // timer id -> Qt timer id
  UINT style_ = 0;
  UINT exStyle_ = 0;
  bool centred_ = false;
  bool closeQueued_ = false;  // a WM_CLOSE is on its way
};

}  // namespace DuiLib
