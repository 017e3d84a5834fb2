#include "ui/accessible_combo.h"

#include "ui/combo_ui.h"

namespace DuiLib {

CComboUI* CAccessibleCombo::Combo() const {
  return static_cast<CComboUI*>(Control()->GetInterface(QStringLiteral("Combo")));
}

QString CAccessibleCombo::Value() const { return Combo()->GetText(); }

QAccessible::State CAccessibleCombo::state() const {
  QAccessible::State state = CAccessibleControl::state();
  state.hasPopup = true;
  state.expandable = true;
  state.expanded = Combo()->IsDropListOpen();
  state.collapsed = !state.expanded;
  return state;
}

QStringList CAccessibleCombo::actionNames() const {
  return QStringList{pressAction(), showMenuAction()} + CAccessibleControl::actionNames();
}

void CAccessibleCombo::doAction(const QString& actionName) {
  if (actionName == pressAction() || actionName == showMenuAction()) {
    Later([](CControlUI* control) { control->Activate(); });
    return;
  }
  CAccessibleControl::doAction(actionName);
}

}  // namespace DuiLib
