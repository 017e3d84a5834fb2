#include "ui/static_menu_element_ui.h"

namespace DuiLib {

void* CStaticMenuElementUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("StaticMenuElement"), Qt::CaseInsensitive) == 0) return this;
  return CMenuElementUI::GetInterface(name);
}

void CStaticMenuElementUI::DoEvent(TEventUI& event) {
  // Skips the row behaviour (selection, hover) entirely.
  CHorizontalLayoutUI::DoEvent(event);
}

}  // namespace DuiLib
