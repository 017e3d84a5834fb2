#include "ui/accessible_events.h"

#include <vector>

#include "ui/accessible_tree.h"
#include "ui/control_ui.h"

namespace DuiLib {
namespace {

// The interface to report about: only an existing one of a windowless control.
QAccessibleInterface* Known(CControlUI* control) {
  if (control == nullptr || !control->HasAccessible() || !QAccessible::isActive()) {
    return nullptr;
  }
  return control->GetAccessible();
}

void Send(QAccessibleInterface* iface, QAccessible::Event type) {
  QAccessibleEvent event(iface, type);
  QAccessible::updateAccessibility(&event);
}

}  // namespace

void CAccessibleEvents::Focus(CControlUI* control) {
  if (control == nullptr || control->GetNativeWidget() != nullptr || !QAccessible::isActive()) {
    return;
  }
  if (QAccessibleInterface* iface = control->GetAccessible()) Send(iface, QAccessible::Focus);
}

void CAccessibleEvents::NameChanged(CControlUI* control) {
  if (QAccessibleInterface* iface = Known(control)) Send(iface, QAccessible::NameChanged);
}

void CAccessibleEvents::StateChanged(CControlUI* control, QAccessible::State changed) {
  if (QAccessibleInterface* iface = Known(control)) {
    QAccessibleStateChangeEvent event(iface, changed);
    QAccessible::updateAccessibility(&event);
  }
}

void CAccessibleEvents::SelectionChanged(CControlUI* control) {
  if (QAccessibleInterface* iface = Known(control)) Send(iface, QAccessible::Selection);
}

void CAccessibleEvents::ValueChanged(CControlUI* control, const QVariant& value) {
  if (QAccessibleInterface* iface = Known(control)) {
    QAccessibleValueChangeEvent event(iface, value);
    QAccessible::updateAccessibility(&event);
  }
}

void CAccessibleEvents::ShownChanged(CControlUI* control, bool shown) {
  if (QAccessibleInterface* iface = Known(control)) Send(iface, shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
}

void CAccessibleEvents::Added(CControlUI* control) {
  if (control == nullptr || !QAccessible::isActive() || control->GetManager() == nullptr) {
    return;
  }
  // Only a parent that assistive technology has met needs to hear of a new child.
  for (CControlUI* p = control->GetParent(); p != nullptr; p = p->GetParent()) {
    if (p->IsAccessibleNode()) {
      if (!p->HasAccessible()) return;
      break;
    }
  }
  std::vector<CControlUI*> nodes;
  CAccessibleTree::CollectNodes(control, nodes);
  for (CControlUI* node : nodes) {
    if (QAccessibleInterface* iface = node->GetAccessible()) Send(iface, QAccessible::ObjectCreated);
  }
}

void CAccessibleEvents::Removing(CControlUI* control) {
  if (control == nullptr || !QAccessible::isActive()) {
    return;
  }
  std::vector<CControlUI*> nodes;
  CAccessibleTree::CollectNodes(control, nodes);
  for (CControlUI* node : nodes) {
    if (node->HasAccessible()) Send(node->GetAccessible(), QAccessible::ObjectDestroyed);
  }
}

}  // namespace DuiLib
