#include "ui/accessible_list_item.h"

#include "ui/accessible_tree.h"
#include "ui/menu_element_ui.h"
#include "ui/tree_node_ui.h"

namespace DuiLib {
namespace {

// The texts a row shows, in layout order: what a sighted user reads off it.
void CollectShownTexts(CControlUI* control, QStringList& texts) {
  if (!control->IsVisible()) {
    return;
  }
  if (control->GetInterface(QStringLiteral("Label")) != nullptr && !control->IsFocusable() &&
      !control->GetText().isEmpty()) {
    texts << control->GetText();
  }
  if (auto* container = static_cast<CContainerUI*>(control->GetInterface(QStringLiteral("Container")))) {
    for (int i = 0; i < container->GetCount(); ++i) CollectShownTexts(container->GetItemAt(i), texts);
  }
}

}  // namespace

CListContainerElementUI* CAccessibleListItem::Row() const { return CListContainerElementUI::FromControl(Control()); }

CTreeNodeUI* CAccessibleListItem::Node() const {
  return static_cast<CTreeNodeUI*>(Control()->GetInterface(QStringLiteral("TreeNode")));
}

QAccessible::Role CAccessibleListItem::DefaultRole() const {
  if (Node() != nullptr) return QAccessible::TreeItem;
  auto* item = static_cast<CMenuElementUI*>(Control()->GetInterface(QStringLiteral("MenuElement")));
  if (item == nullptr) return QAccessible::ListItem;
  if (item->IsClickableItem()) return QAccessible::MenuItem;
  return item->GetText().isEmpty() && item->GetCount() == 0 ? QAccessible::Separator : QAccessible::StaticText;
}

QString CAccessibleListItem::text(QAccessible::Text t) const {
  QString text = CAccessibleControl::text(t);
  if (t == QAccessible::Name && text.isEmpty()) {
    QStringList shown;
    CollectShownTexts(Control(), shown);
    text = shown.join(QLatin1Char(' '));
  }
  return text;
}

QAccessible::State CAccessibleListItem::state() const {
  QAccessible::State state = CAccessibleControl::state();
  if (CListContainerElementUI* row = Row(); row != nullptr && row->IsSelectable()) {
    // A row the keyboard can choose takes the focus then.
    state.focusable = true;
    if (role() != QAccessible::MenuItem) {
      state.selectable = true;
      state.selected = row->IsSelected();
    }
  }
  if (CTreeNodeUI* node = Node(); node != nullptr && node->GetChildCount() > 0) {
    state.expandable = true;
    state.expanded = node->IsExpanded();
    state.collapsed = !node->IsExpanded();
  }
  return state;
}

QStringList CAccessibleListItem::actionNames() const {
  QStringList names{pressAction()};
  if (CTreeNodeUI* node = Node(); node != nullptr && node->GetChildCount() > 0) names << toggleAction();
  return names + CAccessibleControl::actionNames();
}

void CAccessibleListItem::doAction(const QString& actionName) {
  if (actionName == pressAction()) {
    Later([](CControlUI* control) { control->Activate(); });
  } else if (actionName == toggleAction()) {
    Later([](CControlUI* control) {
      if (auto* node = static_cast<CTreeNodeUI*>(control->GetInterface(QStringLiteral("TreeNode")))) {
        node->SetExpanded(!node->IsExpanded());
      }
    });
  } else {
    CAccessibleControl::doAction(actionName);
  }
}

}  // namespace DuiLib
