#include "ui/accessible_tree.h"

#include <QWidget>
#include <array>
#include <utility>

#include "ui/container_ui.h"
#include "ui/control_ui.h"
#include "ui/paint_manager_ui.h"

namespace DuiLib {
namespace {

QWidget* HostOf(const CControlUI* control) {
  return control->GetManager() != nullptr ? control->GetManager()->GetHostWidget() : nullptr;
}

// The part of the control that its ancestors leave in view (empty when scrolled away).
QRect VisiblePart(const CControlUI* control) {
  QRect rc = control->GetPos();
  for (const CControlUI* p = control->GetParent(); p != nullptr && !rc.isEmpty(); p = p->GetParent()) {
    rc &= p->GetPos();
  }
  return rc;
}

}  // namespace

void CAccessibleTree::CollectNodes(CControlUI* control, std::vector<CControlUI*>& nodes) {
  if (control->IsAccessibleNode()) {
    nodes.push_back(control);
    return;
  }
  if (auto* container = static_cast<CContainerUI*>(control->GetInterface(QStringLiteral("Container")))) {
    for (int i = 0; i < container->GetCount(); ++i) CollectNodes(container->GetItemAt(i), nodes);
  }
}

namespace {

// The interfaces standing for the content of `control` (not for itself): its children's
// nodes, then its scroll bars. A child that is no node lends its own content.
void CollectContent(CControlUI* control, std::vector<QAccessibleInterface*>& out) {
  auto* container = static_cast<CContainerUI*>(control->GetInterface(QStringLiteral("Container")));
  if (container == nullptr) {
    return;
  }
  for (int i = 0; i < container->GetCount(); ++i) {
    CControlUI* child = container->GetItemAt(i);
    if (child->IsAccessibleNode()) {
      if (QAccessibleInterface* iface = child->GetAccessible()) out.push_back(iface);
    } else {
      CollectContent(child, out);
    }
  }
  for (bool vertical : {true, false}) {
    if (QAccessibleInterface* bar = container->GetScrollBarAccessible(vertical)) out.push_back(bar);
  }
}

}  // namespace

std::vector<QAccessibleInterface*> CAccessibleTree::ChildrenOf(CControlUI* control) {
  std::vector<QAccessibleInterface*> children;
  CollectContent(control, children);
  return children;
}

std::vector<QAccessibleInterface*> CAccessibleTree::WindowChildren(CControlUI* root) {
  if (root == nullptr) {
    return {};
  }
  if (root->IsAccessibleNode()) {
    QAccessibleInterface* iface = root->GetAccessible();
    return iface != nullptr ? std::vector<QAccessibleInterface*>{iface} : std::vector<QAccessibleInterface*>{};
  }
  return ChildrenOf(root);
}

QAccessibleInterface* CAccessibleTree::ParentOf(const CControlUI* control) {
  for (CControlUI* p = control->GetParent(); p != nullptr; p = p->GetParent()) {
    if (p->IsAccessibleNode()) return p->GetAccessible();
  }
  return WindowOf(control);
}

QAccessibleInterface* CAccessibleTree::WindowOf(const CControlUI* control) {
  QWidget* host = HostOf(control);
  return host != nullptr ? QAccessible::queryAccessibleInterface(host) : nullptr;
}

QAccessibleInterface* CAccessibleTree::ChildAt(const std::vector<QAccessibleInterface*>& children, int x, int y) {
  // Later children lie above earlier ones (floating controls come last).
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (!(*it)->state().invisible && (*it)->rect().contains(x, y)) return *it;
  }
  return nullptr;
}

QString CAccessibleTree::NameOf(const CControlUI* control) {
  if (!control->GetAccessibleName().isEmpty()) {
    return control->GetAccessibleName();
  }
  if (!control->GetAccessibleLabel().isEmpty() && control->GetManager() != nullptr) {
    // The label goes by its own name (a caption drawn as a picture has it as tooltip).
    CControlUI* label = control->GetManager()->FindControl(control->GetAccessibleLabel());
    if (label != nullptr && label != control && label->GetAccessibleLabel().isEmpty()) {
      const QString name = NameOf(label);
      if (!name.isEmpty()) return name;
    }
  }
  // A field's text is its value, never its name.
  if (control->GetNativeWidget() == nullptr && !control->GetText().isEmpty()) {
    return control->GetText();
  }
  return control->GetToolTip();
}

QRect CAccessibleTree::ScreenRect(const CControlUI* control, const QRect& clientRect) {
  QWidget* host = HostOf(control);
  if (host == nullptr || clientRect.isEmpty()) {
    return QRect();
  }
  return QRect(host->mapToGlobal(clientRect.topLeft()), clientRect.size());
}

QAccessible::Role CAccessibleTree::RoleFor(const QString& accRole, QAccessible::Role fallback) {
  static const std::array<std::pair<const char*, QAccessible::Role>, 17> kRoles = {{
      {"tablist", QAccessible::PageTabList},
      {"tab", QAccessible::PageTab},
      {"menu", QAccessible::PopupMenu},
      {"menubar", QAccessible::MenuBar},
      {"menuitem", QAccessible::MenuItem},
      {"toolbar", QAccessible::ToolBar},
      {"group", QAccessible::Grouping},
      {"button", QAccessible::PushButton},
      {"link", QAccessible::Link},
      {"checkbox", QAccessible::CheckBox},
      {"radio", QAccessible::RadioButton},
      {"label", QAccessible::StaticText},
      {"list", QAccessible::List},
      {"listitem", QAccessible::ListItem},
      {"image", QAccessible::Graphic},
      {"separator", QAccessible::Separator},
      {"statusbar", QAccessible::StatusBar},
  }};
  for (const auto& [name, role] : kRoles) {
    if (accRole.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return role;
  }
  return fallback;
}

QAccessible::State CAccessibleTree::CommonState(const CControlUI* control) {
  QAccessible::State state;
  if (!control->IsVisible() || control->GetPos().isEmpty()) {
    state.invisible = true;
  } else if (VisiblePart(control).isEmpty()) {
    state.offscreen = true;
  }
  state.disabled = !control->IsEnabled();
  state.focusable = control->IsFocusable() && control->IsEnabled();
  const QWidget* host = HostOf(control);
  state.focused = control->IsFocused() && host != nullptr && host->isActiveWindow();
  return state;
}

}  // namespace DuiLib
