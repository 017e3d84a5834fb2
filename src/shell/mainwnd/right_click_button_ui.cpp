#include "shell/mainwnd/right_click_button_ui.h"

namespace tarvo {

void* RightClickButtonUI::GetInterface(const QString& name) {
  if (name == QLatin1String(kTag)) return this;
  return CButtonUI::GetInterface(name);
}

void RightClickButtonUI::DoEvent(DuiLib::TEventUI& event) {
  if (event.type == DuiLib::UIEvent::kRButtonUp || event.type == DuiLib::UIEvent::kRButtonDown) {
    CControlUI::DoEvent(event);
    return;
  }
  CButtonUI::DoEvent(event);
}

}  // namespace tarvo
