#include "ui/menu_wnd.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/ui_notify_types.h"
#include "ui/window_registry.h"

namespace DuiLib {

CMenuWnd::CMenuWnd() = default;

CMenuWnd::~CMenuWnd() = default;

bool CMenuWnd::Init(HWND owner, const QString& skinFile, QPoint screenPoint) {
  owner_ = owner;
  skinFile_ = skinFile;
  anchor_ = screenPoint;
  if (Create(owner, QString(), WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_ANCHORED_POPUP, screenPoint.x(),
             screenPoint.y(), CW_USEDEFAULT, CW_USEDEFAULT) == 0) {
    delete this;
    return false;
  }
  ResizeMenu();
  ShowWindow(true, true);
  return true;
}

CMenuUI* CMenuWnd::GetMenuUI() const {
  CControlUI* root = m_pm.GetRoot();
  if (root == nullptr) {
    return nullptr;
  }
  CControlUI* major = root->FindControl([](CControlUI* c) {
    auto* menu = static_cast<CMenuUI*>(c->GetInterface(QStringLiteral("Menu")));
    return menu != nullptr && menu->IsMajor();
  });
  if (major == nullptr) {
    major = root->FindControl([](CControlUI* c) { return c->GetInterface(QStringLiteral("Menu")) != nullptr; });
  }
  return major != nullptr ? static_cast<CMenuUI*>(major->GetInterface(QStringLiteral("Menu"))) : nullptr;
}

void CMenuWnd::ResizeMenu() {
  QWidget* host = GetWidget();
  CMenuUI* menu = GetMenuUI();
  if (host == nullptr || menu == nullptr) {
    return;
  }
  const int width = menu->GetFixedWidth() > 0 ? menu->GetFixedWidth() : host->width();
  const int height = menu->GetFixedHeight() > 0 ? menu->GetFixedHeight() : host->height();
  QRect rc(anchor_, QSize(width, height));
  if (QScreen* screen = QGuiApplication::screenAt(anchor_)) {
    const QRect area = screen->availableGeometry();
    if (rc.right() > area.right()) rc.moveRight(qMax(area.left() + rc.width() - 1, anchor_.x() - 1));
    if (rc.bottom() > area.bottom()) rc.moveBottom(qMax(area.top() + rc.height() - 1, anchor_.y() - 1));
    rc.moveLeft(qMax(rc.left(), area.left()));
    rc.moveTop(qMax(rc.top(), area.top()));
  }
  if (host->geometry() != rc) {
    SetWindowRect(rc);
  }
}

void CMenuWnd::OnNativePaint(QPainter& painter, const QRect& dirty) {
  ResizeMenu();
  WindowImplBase::OnNativePaint(painter, dirty);
}

CPaintManagerUI* CMenuWnd::OwnerManager() const {
  auto* owner = dynamic_cast<WindowImplBase*>(CWindowRegistry::Instance().Find(owner_));
  return owner != nullptr ? &owner->GetPaintManager() : nullptr;
}

void CMenuWnd::OnItemClicked(CMenuElementUI* item) {
  if (CPaintManagerUI* owner = OwnerManager()) {
    bool numeric = false;
    const long long command = item->GetCommand().toLongLong(&numeric);
    owner->SendNotify(item, kNotifyItemClick, numeric ? static_cast<WPARAM>(command) : 0);
  }
  Close(IDOK);
}

void CMenuWnd::OnItemRightClicked(CMenuElementUI* item) {
  if (CPaintManagerUI* owner = OwnerManager()) {
    owner->SendNotify(item, kNotifyRightClick);
  }
}

bool CMenuWnd::IsOwnWindow(HWND hwnd) const {
  if (hwnd == 0) {
    return false;
  }
  if (hwnd == GetHWND()) {
    return true;
  }
  CWindowWnd* other = CWindowRegistry::Instance().Find(hwnd);
  const QWidget* self = GetWidget();
  for (const QWidget* w = other != nullptr ? other->GetWidget() : nullptr; w != nullptr; w = w->parentWidget()) {
    if (w == self) return true;
  }
  return false;
}

LRESULT CMenuWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
  if (uMsg == WM_KILLFOCUS) {
    if (!IsOwnWindow(static_cast<HWND>(wParam))) {
      Close(IDCANCEL);
    }
    bHandled = true;
  }
  return 0;
}

void CMenuWnd::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  delete this;
}

}  // namespace DuiLib
