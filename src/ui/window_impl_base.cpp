#include "ui/window_impl_base.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <cstdio>

#include "ui/dialog_builder.h"
#include "ui/key_codes.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
  m_pm.RemovePreMessageFilter(this);
  m_pm.RemoveNotifier(this);
}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
  if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    bHandled = ResponseDefaultKeyEvent(wParam);
  }
  return 0;
}

std::unique_ptr<CControlUI> WindowImplBase::CreateControl(const QString&) { return nullptr; }

CControlUI* WindowImplBase::FindControl(const QString& name) {
  CControlUI* control = m_pm.FindControl(name);
  if (control == nullptr && m_pm.GetRoot() != nullptr && !missingReported_.contains(name)) {
    missingReported_.insert(name);
    std::fprintf(stderr, "skin: window %s has no control \"%s\"\n", qPrintable(GetWindowClassName()),
                 qPrintable(name));
  }
  return control;
}

bool WindowImplBase::ResponseDefaultKeyEvent(WPARAM key) {
  if (key == VK_ESCAPE) {
    Close(IDOK);
    return true;
  }
  return false;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}

LRESULT WindowImplBase::Route(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (uMsg == WM_CREATE) {
    handled = true;
    return OnCreate();
  }
  handled = false;
  LRESULT result = m_pm.PreMessageHandler(uMsg, wParam, lParam, handled);
  if (handled) {
    return result;
  }
  result = HandleCustomMessage(uMsg, wParam, lParam, handled);
  if (handled) {
    return result;
  }
  switch (uMsg) {
    case WM_NCHITTEST: {
      handled = true;
      QWidget* host = GetWidget();
      if (host == nullptr) return HTNOWHERE;
      return HitTest(host->mapFromGlobal(QPoint(LoShort(static_cast<WPARAM>(lParam)),
                                                HiShort(static_cast<WPARAM>(lParam)))));
    }
    case WM_SIZE:
      m_pm.NeedUpdate();
      break;
    case WM_SYSCOMMAND:
      if (QWidget* host = GetWidget()) {
        handled = true;
        if (wParam == SC_MAXIMIZE) host->showMaximized();
        else if (wParam == SC_MINIMIZE) host->showMinimized();
        else if (wParam == SC_RESTORE) host->showNormal();
        else if (wParam == SC_CLOSE) Close(0);
        return 0;
      }
      break;
    default:
      break;
  }
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  return Route(uMsg, wParam, lParam, handled);
}

LRESULT WindowImplBase::DispatchKeyMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  return Route(msg, wParam, lParam, handled);
}

LRESULT WindowImplBase::OnCreate() {
  m_pm.Init(this);
  QWidget* host = GetWidget();
  CDialogBuilder builder;
  std::unique_ptr<CControlUI> root = builder.Create(GetSkinFolder() + GetSkinFile(), this, &m_pm);
  const bool sized = host != nullptr && host->testAttribute(Qt::WA_Resized);
  if (root) {
    m_pm.AttachDialog(std::move(root));
  }
  if (host != nullptr) {
    const SIZE init = m_pm.GetInitSize();
    if (!sized) {
      host->resize(init.cx > 0 ? init.cx : 400, init.cy > 0 ? init.cy : 300);
    }
    const SIZE minInfo = m_pm.GetMinInfo();
    if (minInfo.cx > 0 || minInfo.cy > 0) host->setMinimumSize(minInfo.cx, minInfo.cy);
    const SIZE maxInfo = m_pm.GetMaxInfo();
    if (maxInfo.cx > 0 && maxInfo.cy > 0) host->setMaximumSize(maxInfo.cx, maxInfo.cy);
  }
  m_pm.AddPreMessageFilter(this);
  m_pm.AddNotifier(this);
  InitWindow();
  m_pm.UpdateLayout();
  m_pm.SendNotify(nullptr, kNotifyWindowInit);
  return 0;
}

void WindowImplBase::OnFinalMessage(HWND) {
  m_pm.RemovePreMessageFilter(this);
  m_pm.RemoveNotifier(this);
  m_pm.ReleaseRoot();
  missingReported_.clear();
}

LRESULT WindowImplBase::HitTest(QPoint pt) const {
  const QWidget* host = GetWidget();
  if (host == nullptr) {
    return HTNOWHERE;
  }
  const int w = host->width();
  const int h = host->height();
  const RECT& box = m_pm.GetSizeBox();
  if (!host->isMaximized() && !host->isFullScreen()) {
    const bool left = pt.x() < box.left, right = pt.x() >= w - box.right;
    const bool top = pt.y() < box.top, bottom = pt.y() >= h - box.bottom;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  const RECT& caption = m_pm.GetCaptionRect();
  if (pt.x() >= caption.left && pt.x() < w - caption.right && pt.y() >= caption.top && pt.y() < caption.bottom) {
    CControlUI* control = m_pm.FindControl(pt);
    if (control == nullptr || !control->IsClickable()) {
      return HTCAPTION;
    }
  }
  return HTCLIENT;
}

bool WindowImplBase::HandleFrameMouse(QEvent* event) {
  QWidget* host = GetWidget();
  auto* me = static_cast<QMouseEvent*>(event);
  if (host == nullptr || !host->isWindow()) {
    return false;
  }
  if (event->type() == QEvent::MouseMove) {
    if (dragging_) {
      host->move(me->globalPosition().toPoint() - dragOffset_);
      return true;
    }
    if (me->buttons() == Qt::NoButton) {
      const LRESULT hit = HitTest(me->position().toPoint());
      Qt::CursorShape shape = Qt::ArrowCursor;
      if (hit == HTLEFT || hit == HTRIGHT) shape = Qt::SizeHorCursor;
      else if (hit == HTTOP || hit == HTBOTTOM) shape = Qt::SizeVerCursor;
      else if (hit == HTTOPLEFT || hit == HTBOTTOMRIGHT) shape = Qt::SizeFDiagCursor;
      else if (hit == HTTOPRIGHT || hit == HTBOTTOMLEFT) shape = Qt::SizeBDiagCursor;
      if (host->cursor().shape() != shape) host->setCursor(shape);
    }
    return false;
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    if (dragging_ && me->button() == Qt::LeftButton) {
      dragging_ = false;
      return true;
    }
    return false;
  }
  const QPoint global = me->globalPosition().toPoint();
  const LRESULT hit = SendMessage(WM_NCHITTEST, 0, MakeLParam(global.x(), global.y()));
  if (hit == HTCLIENT) {
    return false;
  }
  if (hit == HTNOWHERE) {
    return true;
  }
  if (me->button() == Qt::RightButton) {
    if (hit == HTCAPTION && event->type() == QEvent::MouseButtonPress) {
      SendMessage(WM_NCRBUTTONDOWN, static_cast<WPARAM>(HTCAPTION), MakeLParam(global.x(), global.y()));
    }
    return true;
  }
  if (me->button() != Qt::LeftButton) {
    return true;
  }
  if (hit == HTCAPTION) {
    if (event->type() == QEvent::MouseButtonDblClick) {
      if ((GetStyle() & WS_MAXIMIZEBOX) != 0) {
        SendMessage(WM_SYSCOMMAND, host->isMaximized() ? SC_RESTORE : SC_MAXIMIZE);
      }
      return true;
    }
    // The window manager moves the window when it can; otherwise we move it ourselves.
    if (host->windowHandle() == nullptr || !host->windowHandle()->startSystemMove()) {
      dragging_ = true;
      dragOffset_ = global - host->frameGeometry().topLeft();
    }
    return true;
  }
  Qt::Edges edges;
  if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT) edges |= Qt::LeftEdge;
  if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) edges |= Qt::RightEdge;
  if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT) edges |= Qt::TopEdge;
  if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) edges |= Qt::BottomEdge;
  if (host->windowHandle() != nullptr && edges != Qt::Edges()) {
    host->windowHandle()->startSystemResize(edges);
  }
  return true;
}

bool WindowImplBase::OnNativeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      if (HandleFrameMouse(event)) {
        return true;
      }
      return m_pm.HandleHostEvent(event);
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(event);
      const int delta = we->angleDelta().y();
      const QPoint global = we->globalPosition().toPoint();
      bool handled = false;
      Route(WM_MOUSEWHEEL, MakeWParam(KeyModifierBits(we->modifiers()), static_cast<unsigned>(delta)),
            MakeLParam(global.x(), global.y()), handled);
      return handled || m_pm.HandleHostEvent(event);
    }
    case QEvent::KeyPress: {
      if (m_pm.IsKeyFromNativeChild(event)) {
        // A native child already offered this key to the window (CNativeWidgetSlot);
        // what reaches us now is what the child left over.
        return false;
      }
      return m_pm.HandleKeyPress(static_cast<QKeyEvent*>(event), false);
    }
    case QEvent::Leave:
    case QEvent::ToolTip:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      if (m_pm.HandleHostEvent(event)) return true;
      break;
    default:
      break;
  }
  return CWindowWnd::OnNativeEvent(event);
}

void WindowImplBase::OnNativePaint(QPainter& painter, const QRect& dirty) { m_pm.Paint(painter, dirty); }

}  // namespace DuiLib
