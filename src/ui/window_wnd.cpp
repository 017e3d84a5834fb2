#include "ui/window_wnd.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QTimerEvent>
#include <QWheelEvent>

#include "ui/accessible_factory.h"
#include "ui/key_codes.h"
#include "ui/message_event.h"
#include "ui/window_host.h"
#include "ui/window_registry.h"

namespace DuiLib {

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
  if (host_) {
    CWindowHost* host = host_.data();
    host->Detach();
    CWindowRegistry::Instance().Unregister(hwnd_);
    hwnd_ = 0;
    delete host;
  }
}

QWidget* CWindowWnd::GetWidget() const { return host_.data(); }

HWND CWindowWnd::Create(HWND parent, const QString& title, UINT style, UINT exStyle, const QRect& rc) {
  return Create(parent, title, style, exStyle, rc.x(), rc.y(), rc.width(), rc.height());
}

HWND CWindowWnd::Create(HWND parent, const QString& title, UINT style, UINT exStyle, int x, int y, int cx, int cy) {
  if (host_) {
    return 0;
  }
  CAccessibleFactory::Install();
  style_ = style;
  exStyle_ = exStyle;
  CWindowWnd* parentWnd = CWindowRegistry::Instance().Find(parent);
  QWidget* parentWidget = parentWnd != nullptr ? parentWnd->GetWidget() : nullptr;
  Qt::WindowFlags flags;
  if ((style & WS_CHILD) != 0 && parentWidget != nullptr) {
    flags = Qt::Widget;
  } else {
    flags = Qt::Window | Qt::FramelessWindowHint;
    if ((exStyle & WS_EX_ANCHORED_POPUP) != 0 && parentWidget != nullptr && !CanPlaceTopLevelWindows()) {
      flags = Qt::Popup | Qt::FramelessWindowHint;
    } else if ((exStyle & WS_EX_TOOLWINDOW) != 0) {
      flags |= Qt::Tool;
    }
    if ((exStyle & WS_EX_TOPMOST) != 0) flags |= Qt::WindowStaysOnTopHint;
  }
  auto* host = new CWindowHost(this, parentWidget, flags);
  host_ = host;
  host->setObjectName(GetWindowClassName());
  host->setWindowTitle(title);
  hwnd_ = CWindowRegistry::Instance().Register(this, host);
  if (cx != CW_USEDEFAULT && cy != CW_USEDEFAULT && cx > 0 && cy > 0) {
    host->resize(cx, cy);
  }
  if (x != CW_USEDEFAULT && y != CW_USEDEFAULT) {
    host->move(x, y);
    centred_ = true;
  }
  const HWND created = hwnd_;
  SendMessage(WM_CREATE);
  if (hwnd_ != created) {
    return 0;  // WM_CREATE handling closed the window again
  }
  if ((style & WS_VISIBLE) != 0) {
    ShowWindow(true, true);
  }
  return hwnd_;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!host_) {
    return;
  }
  if (!show) {
    host_->hide();
    return;
  }
  if (!centred_ && host_->isWindow()) {
    CenterWindow();
  }
  if (!takeFocus) {
    host_->setAttribute(Qt::WA_ShowWithoutActivating, true);
  }
  host_->show();
  // Where the compositor places the windows it also gives the focus to a new one (and
  // a pop-up holds the input while it is open); it takes no activation request.
  if (takeFocus && host_->isWindow() && CanPlaceTopLevelWindows()) {
    host_->raise();
    host_->activateWindow();
  }
}

int CWindowWnd::ShowModal() {
  if (!host_) {
    return -1;
  }
  CWindowHost* host = host_.data();
  // A pop-up holds the input while it is open; it needs no modality of its own.
  if (host->isWindow() && !IsPopup()) {
    const bool wasVisible = host->isVisible();
    if (wasVisible) host->hide();
    host->setWindowModality(host->parentWidget() != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  }
  ShowWindow(true, true);
  QEventLoop loop;
  modalLoop_ = &loop;
  // The loop may end in DestroyNative, which can delete this object; only the local
  // result is used after exec returns.
  return loop.exec(QEventLoop::DialogExec);
}

void CWindowWnd::Close(int code) { closeQueued_ = PostMessage(WM_CLOSE, static_cast<WPARAM>(code)) || closeQueued_; }

void CWindowWnd::CenterWindow() {
  if (!host_ || !host_->isWindow()) {
    return;
  }
  centred_ = true;
  QRect area;
  QWidget* parent = host_->parentWidget();
  if (parent != nullptr && parent->isVisible()) {
    area = parent->window()->frameGeometry();
  } else {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) area = screen->availableGeometry();
  }
  if (area.isEmpty()) {
    return;
  }
  QRect rc = host_->frameGeometry();
  rc.moveCenter(area.center());
  host_->move(rc.topLeft());
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  if (host_ && cx > 0 && cy > 0) {
    host_->resize(cx, cy);
  }
}

QRect CWindowWnd::GetWindowRect() const {
  if (!host_) {
    return QRect();
  }
  return QRect(host_->mapToGlobal(QPoint(0, 0)), host_->size());
}

void CWindowWnd::SetWindowRect(const QRect& rc) {
  if (!host_) {
    return;
  }
  centred_ = true;
  if (host_->isWindow()) {
    host_->setGeometry(rc);
  } else {
    host_->setGeometry(QRect(host_->parentWidget()->mapFromGlobal(rc.topLeft()), rc.size()));
  }
}

void CWindowWnd::SetWindowTitle(const QString& title) {
  if (host_) host_->setWindowTitle(title);
}

void CWindowWnd::SetTopMost(bool topMost) {
  if (!host_ || !host_->isWindow()) {
    return;
  }
  const bool visible = host_->isVisible();
  host_->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
  if (visible) host_->show();
}

bool CWindowWnd::CanPlaceTopLevelWindows() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool CWindowWnd::IsPopup() const { return host_ && host_->windowType() == Qt::Popup; }

void CWindowWnd::OnPopupDismissed() {
  const HWND self = hwnd_;
  SendMessage(WM_KILLFOCUS, 0);
  if (CWindowRegistry::Instance().Find(self) == this && host_ && !closeQueued_) {
    DestroyNative(IDCANCEL);
  }
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return HandleMessage(msg, wParam, lParam); }

bool CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return hwnd_ != 0 && CWindowRegistry::Instance().Post(hwnd_, msg, wParam, lParam);
}

bool CWindowWnd::SetTimer(UINT id, UINT ms) {
  if (!host_) {
    return false;
  }
  KillTimer(id);
  const int qtId = host_->startTimer(static_cast<int>(qMax(1u, ms)), Qt::PreciseTimer);
  if (qtId == 0) {
    return false;
  }
  timers_.insert(id, qtId);
  return true;
}

bool CWindowWnd::KillTimer(UINT id) {
  const auto it = timers_.find(id);
  if (it == timers_.end()) {
    return false;
  }
  if (host_) host_->killTimer(it.value());
  timers_.erase(it);
  return true;
}

void CWindowWnd::KillAllTimers() {
  for (auto it = timers_.cbegin(); it != timers_.cend(); ++it) {
    if (host_) host_->killTimer(it.value());
  }
  timers_.clear();
}

WPARAM CWindowWnd::CurrentSizeKind() const {
  if (!host_) return SIZE_RESTORED;
  if (host_->isMinimized()) return SIZE_MINIMIZED;
  if (host_->isMaximized()) return SIZE_MAXIMIZED;
  return SIZE_RESTORED;
}

void CWindowWnd::PostKillFocus() {
  // The newly active window is known only once activation has settled.
  const HWND self = hwnd_;
  QTimer::singleShot(0, host_.data(), [self] {
    CWindowWnd* window = CWindowRegistry::Instance().Find(self);
    if (window == nullptr || window->host_.isNull() || window->host_->isActiveWindow()) {
      return;
    }
    const HWND gaining = CWindowRegistry::Instance().FindByWidget(QApplication::activeWindow());
    window->SendMessage(WM_KILLFOCUS, gaining);
  });
}

LRESULT CWindowWnd::DispatchKeyMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  return HandleMessage(msg, wParam, lParam);
}

bool CWindowWnd::OnNativeEvent(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == CMessageEvent::EventType()) {
    auto* message = static_cast<CMessageEvent*>(event);
    HandleMessage(message->message, message->wParam, message->lParam);
    return true;
  }
  switch (type) {
    case QEvent::Timer: {
      const int qtId = static_cast<QTimerEvent*>(event)->timerId();
      for (auto it = timers_.cbegin(); it != timers_.cend(); ++it) {
        if (it.value() == qtId) {
          HandleMessage(WM_TIMER, it.key(), 0);
          return true;
        }
      }
      return false;
    }
    case QEvent::Close:
      event->ignore();
      if (IsPopup()) {
        OnPopupDismissed();
      } else {
        // The window manager's close button: the same path as a WM_CLOSE message.
        HandleMessage(WM_CLOSE, 0, 0);
      }
      return true;
    case QEvent::Resize: {
      const QSize size = host_ ? host_->size() : QSize();
      HandleMessage(WM_SIZE, CurrentSizeKind(), MakeLParam(size.width(), size.height()));
      return false;
    }
    case QEvent::WindowStateChange: {
      const QSize size = host_ ? host_->size() : QSize();
      HandleMessage(WM_SIZE, CurrentSizeKind(), MakeLParam(size.width(), size.height()));
      return false;
    }
    case QEvent::WindowActivate:
      HandleMessage(WM_SETFOCUS, 0, 0);
      return false;
    case QEvent::WindowDeactivate:
      PostKillFocus();
      return false;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      bool handled = false;
      const unsigned mods = KeyModifierBits(key->modifiers());
      DispatchKeyMessage((mods & MK_ALT) != 0 ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtualKeyFromQtKey(key->key()), mods,
                         handled);
      return handled;
    }
    default:
      return false;
  }
}

void CWindowWnd::OnNativePaint(QPainter&, const QRect&) {}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_CLOSE) {
    DestroyNative(static_cast<int>(static_cast<std::intptr_t>(wParam)));
  }
  return 0;
}

void CWindowWnd::DestroyNative(int code) {
  if (!host_) {
    return;
  }
  CWindowHost* host = host_.data();
  const HWND hwnd = hwnd_;
  KillAllTimers();
  host->Detach();
  host->hide();
  host->deleteLater();
  host_.clear();
  CWindowRegistry::Instance().Unregister(hwnd);
  hwnd_ = 0;
  centred_ = false;
  closeQueued_ = false;
  if (modalLoop_ != nullptr) {
    QEventLoop* loop = modalLoop_;
    modalLoop_ = nullptr;
    loop->exit(code);
  }
  OnFinalMessage(hwnd);
}

void CWindowWnd::OnHostDestroyed() {
  // The native window went away under us (its parent was destroyed).
  const HWND hwnd = hwnd_;
  host_.clear();
  timers_.clear();
  CWindowRegistry::Instance().Unregister(hwnd);
  hwnd_ = 0;
  if (modalLoop_ != nullptr) {
    QEventLoop* loop = modalLoop_;
    modalLoop_ = nullptr;
    loop->exit(0);
  }
  OnFinalMessage(hwnd);
}

void CWindowWnd::OnFinalMessage(HWND) {}

}  // namespace DuiLib
