#include "shell/pages/c_body_bar.h"

#include <algorithm>

#include "shell/pages/i_tab_body.h"
#include "shell/pages/pages_messages.h"

namespace tarvo {

QRect CBodyBar::ClientRect() const {
  QWidget* widget = GetWidget();
  return widget != nullptr ? widget->rect() : QRect();
}

std::vector<QWidget*> CBodyBar::Windows() const {
  std::lock_guard lock(mutex_);
  std::vector<QWidget*> windows;
  for (const auto& window : windows_) {
    if (window != nullptr) windows.push_back(window);
  }
  return windows;
}

void CBodyBar::List(QWidget* window) {
  std::lock_guard lock(mutex_);
  std::erase_if(windows_, [window](const QPointer<QWidget>& listed) { return listed == window || listed.isNull(); });
  windows_.emplace_back(window);
}

QWidget* CBodyBar::LiveChild(DuiLib::WPARAM announced) const {
  QWidget* bar = GetWidget();
  if (bar == nullptr || announced == 0) return nullptr;
  // Compares addresses only: the announced pointer is never followed until it is
  // found among the children that exist now.
  for (QWidget* child : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (reinterpret_cast<DuiLib::WPARAM>(child) == announced) return child;
  }
  return nullptr;
}

void CBodyBar::Add(QWidget* window) {
  QWidget* bar = GetWidget();
  if (window == nullptr || bar == nullptr) return;
  if (window->parentWidget() != bar) window->setParent(bar);
  List(window);
  window->setGeometry(ClientRect());
}

void CBodyBar::Show(ITabBody* body) {
  if (body == nullptr) return;
  QWidget* window = body->GetWindow();
  if (window == nullptr) {
    pending_ = body;
    return;
  }
  ShowWindow(window);
}

void CBodyBar::ShowWindow(QWidget* window) {
  if (window == nullptr) return;
  // The window chosen last wins: an older pending body must not take over when its
  // window arrives later.
  pending_ = nullptr;
  if (shown_ != nullptr && shown_ != window) shown_->hide();
  Add(window);
  window->show();
  shown_ = window;
}

void CBodyBar::Remove(QWidget* window) {
  std::lock_guard lock(mutex_);
  std::erase_if(windows_, [window](const QPointer<QWidget>& listed) { return listed == window || listed.isNull(); });
}

void CBodyBar::Resize() {
  const QRect client = ClientRect();
  for (QWidget* window : Windows()) window->setGeometry(client);
}

void CBodyBar::Forget(ITabBody* body) {
  if (pending_ == body) pending_ = nullptr;
}

DuiLib::LRESULT CBodyBar::HandleMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) {
  switch (msg) {
    case DuiLib::WM_SIZE:
      Resize();
      return 0;
    case PagesMessages::kAddCefBody:
    case PagesMessages::kAddIeBody: {
      // The window may have gone while the message waited (its page closed at once):
      // only a window that is still one of the bar's children is taken in.
      QWidget* window = LiveChild(wParam);
      if (window == nullptr) return 0;
      Add(window);
      if (pending_ != nullptr && pending_->GetWindow() == window) Show(pending_);
      return 0;
    }
    case PagesMessages::kBodyBarIgnored:
      return 0;
    default:
      return CWindowWnd::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace tarvo
