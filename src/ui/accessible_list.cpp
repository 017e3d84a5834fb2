#include "ui/accessible_list.h"

#include "ui/control_ui.h"

namespace DuiLib {

QAccessible::Role CAccessibleList::DefaultRole() const {
  if (Control()->GetInterface(QStringLiteral("TreeView")) != nullptr) return QAccessible::Tree;
  if (Control()->GetInterface(QStringLiteral("Menu")) != nullptr) return QAccessible::PopupMenu;
  return QAccessible::List;
}

}  // namespace DuiLib
