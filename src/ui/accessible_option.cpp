#include "ui/accessible_option.h"

#include "ui/option_ui.h"

namespace DuiLib {
namespace {

COptionUI* AsOption(CControlUI* control) {
  return static_cast<COptionUI*>(control->GetInterface(QStringLiteral("Option")));
}

}  // namespace

QAccessible::Role CAccessibleOption::DefaultRole() const {
  COptionUI* option = AsOption(Control());
  return option != nullptr && !option->GetGroup().isEmpty() ? QAccessible::RadioButton : QAccessible::CheckBox;
}

QAccessible::State CAccessibleOption::state() const {
  QAccessible::State state = CAccessibleButton::state();
  COptionUI* option = AsOption(Control());
  if (option == nullptr) {
    return state;
  }
  switch (role()) {
    case QAccessible::PageTab:
    case QAccessible::ListItem:
      state.selectable = true;
      state.selected = option->IsSelected();
      break;
    case QAccessible::PushButton:
      break;
    default:
      state.checkable = true;
      state.checked = option->IsSelected();
      break;
  }
  return state;
}

QStringList CAccessibleOption::actionNames() const {
  const QAccessible::Role r = role();
  if (r == QAccessible::CheckBox || r == QAccessible::RadioButton) {
    return QStringList{toggleAction()} + CAccessibleButton::actionNames();
  }
  return CAccessibleButton::actionNames();
}

void CAccessibleOption::doAction(const QString& actionName) {
  // Toggling is what a click does to an option.
  CAccessibleButton::doAction(actionName == toggleAction() ? pressAction() : actionName);
}

}  // namespace DuiLib
