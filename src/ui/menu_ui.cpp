#include "ui/menu_ui.h"

namespace DuiLib {

CMenuUI::CMenuUI() {
  // Menus size themselves to their items; a scroll bar would only hide part of them.
  EnableScrollBar(false, false);
  info_.hotBkColor = QColor(0xEE, 0xF2, 0xF8);
  info_.selectedBkColor = QColor(0xEE, 0xF2, 0xF8);
}

void* CMenuUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Menu"), Qt::CaseInsensitive) == 0) return this;
  return CListUI::GetInterface(name);
}

void CMenuUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("major"), Qt::CaseInsensitive) == 0) {
    major_ = CAttributeParser::ParseBool(value).value_or(major_);
    return;
  }
  CListUI::SetAttribute(name, value);
}

}  // namespace DuiLib
