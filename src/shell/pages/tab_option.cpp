#include "shell/pages/tab_option.h"

#include "shell/pages/tab.h"
#include "shell/pages/tab_strip.h"

namespace tarvo {

Tab* TabOption::OwnerTab() const { return dynamic_cast<Tab*>(GetParent()); }

bool TabOption::IsDraggable() const {
  const Tab* tab = OwnerTab();
  return tab != nullptr && tab->Strip() != nullptr && !tab->IsDragCopy();
}

void TabOption::DoEvent(DuiLib::TEventUI& event) {
  using DuiLib::UIEvent;
  if (IsDraggable()) {
    Tab* tab = OwnerTab();
    switch (event.type) {
      case UIEvent::kButtonDown:
        if (GetPos().contains(event.ptMouse)) dragging_ = tab->Strip()->BeginDrag(tab, event.ptMouse);
        break;
      case UIEvent::kMouseMove:
        if (dragging_) tab->Strip()->DragTo(event.ptMouse);
        break;
      case UIEvent::kButtonUp:
        if (dragging_) {
          dragging_ = false;
          // The option's own click handling below selects the tab; the drop comes
          // afterwards through the main window's queue.
          tab->Strip()->EndDrag(event.ptMouse);
        }
        break;
      default:
        break;
    }
  }
  COptionUI::DoEvent(event);
}

}  // namespace tarvo
