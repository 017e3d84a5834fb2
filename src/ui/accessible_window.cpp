#include "ui/accessible_window.h"

#include <QApplication>

#include "ui/accessible_tree.h"
#include "ui/control_ui.h"
#include "ui/window_host.h"
#include "ui/window_impl_base.h"

namespace DuiLib {

CAccessibleWindow::CAccessibleWindow(CWindowHost* host) : QAccessibleWidget(host, QAccessible::Window) {}

CPaintManagerUI* CAccessibleWindow::Manager() const {
  auto* host = static_cast<CWindowHost*>(widget());
  auto* window = host != nullptr ? dynamic_cast<WindowImplBase*>(host->GetOwner()) : nullptr;
  return window != nullptr ? &window->GetPaintManager() : nullptr;
}

std::vector<QAccessibleInterface*> CAccessibleWindow::Children() const {
  CPaintManagerUI* manager = Manager();
  return manager != nullptr ? CAccessibleTree::WindowChildren(manager->GetRoot()) : std::vector<QAccessibleInterface*>{};
}

int CAccessibleWindow::childCount() const { return static_cast<int>(Children().size()); }

QAccessibleInterface* CAccessibleWindow::child(int index) const {
  const auto children = Children();
  return index >= 0 && index < static_cast<int>(children.size()) ? children[static_cast<size_t>(index)] : nullptr;
}

int CAccessibleWindow::indexOfChild(const QAccessibleInterface* child) const {
  const auto children = Children();
  for (size_t i = 0; i < children.size(); ++i) {
    if (children[i] == child) return static_cast<int>(i);
  }
  return -1;
}

QAccessibleInterface* CAccessibleWindow::childAt(int x, int y) const {
  return CAccessibleTree::ChildAt(Children(), x, y);
}

QAccessibleInterface* CAccessibleWindow::focusChild() const {
  // A windowless control has the focus while the window's widget itself holds it.
  CPaintManagerUI* manager = Manager();
  CControlUI* focus = manager != nullptr ? manager->GetFocus() : nullptr;
  if (focus != nullptr && focus->GetNativeWidget() == nullptr && widget()->hasFocus()) {
    return focus->GetAccessible();
  }
  return QAccessibleWidget::focusChild();
}

QString CAccessibleWindow::text(QAccessible::Text t) const {
  if (t == QAccessible::Name) {
    // A dialog's title is an internal id; it goes by its heading (its root's acclabel)
    // or the name its window gives it.
    CPaintManagerUI* manager = Manager();
    const QString name = manager != nullptr && manager->GetRoot() != nullptr ? CAccessibleTree::NameOf(manager->GetRoot())
                                                                             : QString();
    if (!name.isEmpty()) return name;
  }
  return QAccessibleWidget::text(t);
}

QAccessible::Role CAccessibleWindow::role() const {
  const QWidget* host = widget();
  if (!host->isWindow()) return QAccessible::Client;
  // Pop-ups (menus, drop lists) are plain windows holding their menu or list; a window
  // opened over another is a dialog.
  if (host->windowFlags().testFlag(Qt::Tool)) return QAccessible::Window;
  return host->parentWidget() != nullptr ? QAccessible::Dialog : QAccessible::Window;
}

}  // namespace DuiLib
