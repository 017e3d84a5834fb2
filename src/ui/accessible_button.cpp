#include "ui/accessible_button.h"

#include "ui/control_ui.h"

namespace DuiLib {

QStringList CAccessibleButton::actionNames() const {
  return QStringList{pressAction()} + CAccessibleControl::actionNames();
}

void CAccessibleButton::doAction(const QString& actionName) {
  if (actionName == pressAction()) {
    Later([](CControlUI* control) { control->Activate(); });
    return;
  }
  CAccessibleControl::doAction(actionName);
}

QStringList CAccessibleButton::keyBindingsForAction(const QString& actionName) const {
  return actionName == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList();
}

}  // namespace DuiLib
