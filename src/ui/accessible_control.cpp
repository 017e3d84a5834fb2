#include "ui/accessible_control.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "ui/accessible_tree.h"
#include "ui/control_ui.h"
#include "ui/paint_manager_ui.h"

namespace DuiLib {

bool CAccessibleControl::isValid() const { return control_ != nullptr && control_->GetManager() != nullptr; }

QWindow* CAccessibleControl::window() const {
  QWidget* host = control_->GetManager() != nullptr ? control_->GetManager()->GetHostWidget() : nullptr;
  return host != nullptr ? host->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CAccessibleControl::childAt(int x, int y) const {
  return CAccessibleTree::ChildAt(CAccessibleTree::ChildrenOf(control_), x, y);
}

QAccessibleInterface* CAccessibleControl::parent() const { return CAccessibleTree::ParentOf(control_); }

QAccessibleInterface* CAccessibleControl::child(int index) const {
  const auto children = CAccessibleTree::ChildrenOf(control_);
  return index >= 0 && index < static_cast<int>(children.size()) ? children[static_cast<size_t>(index)] : nullptr;
}

int CAccessibleControl::childCount() const { return static_cast<int>(CAccessibleTree::ChildrenOf(control_).size()); }

int CAccessibleControl::indexOfChild(const QAccessibleInterface* child) const {
  const auto children = CAccessibleTree::ChildrenOf(control_);
  for (size_t i = 0; i < children.size(); ++i) {
    if (children[i] == child) return static_cast<int>(i);
  }
  return -1;
}

QString CAccessibleControl::text(QAccessible::Text t) const {
  switch (t) {
    case QAccessible::Name:
      return CAccessibleTree::NameOf(control_);
    case QAccessible::Description:
      // The tooltip, unless it is the name already.
      return control_->GetToolTip() != CAccessibleTree::NameOf(control_) ? control_->GetToolTip() : QString();
    case QAccessible::Value:
      return Value();
    default:
      return QString();
  }
}

void CAccessibleControl::setText(QAccessible::Text t, const QString& text) {
  if (t == QAccessible::Name) control_->SetAccessibleName(text);
}

QRect CAccessibleControl::rect() const { return CAccessibleTree::ScreenRect(control_, control_->GetPos()); }

QAccessible::Role CAccessibleControl::role() const {
  return CAccessibleTree::RoleFor(control_->GetAccessibleRole(), DefaultRole());
}

QAccessible::Role CAccessibleControl::DefaultRole() const {
  if (control_->GetInterface(QStringLiteral("Label")) != nullptr) return QAccessible::StaticText;
  if (control_->GetInterface(QStringLiteral("Container")) != nullptr) return QAccessible::Grouping;
  return QAccessible::Graphic;
}

QAccessible::State CAccessibleControl::state() const { return CAccessibleTree::CommonState(control_); }

void* CAccessibleControl::interface_cast(QAccessible::InterfaceType type) {
  return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList CAccessibleControl::actionNames() const {
  return control_->IsFocusable() ? QStringList{setFocusAction()} : QStringList();
}

void CAccessibleControl::doAction(const QString& actionName) {
  if (actionName == setFocusAction()) {
    Later([](CControlUI* control) { control->SetFocus(); });
  }
}

QStringList CAccessibleControl::keyBindingsForAction(const QString&) const { return QStringList(); }

void CAccessibleControl::Later(std::function<void(CControlUI*)> action) const {
  const QAccessible::Id id = QAccessible::uniqueId(const_cast<CAccessibleControl*>(this));
  QTimer::singleShot(0, QCoreApplication::instance(), [id, action = std::move(action)] {
    // The interface goes with its control, so finding it means the control is alive.
    auto* self = dynamic_cast<CAccessibleControl*>(QAccessible::accessibleInterface(id));
    if (self != nullptr && self->isValid()) action(self->control_);
  });
}

}  // namespace DuiLib
