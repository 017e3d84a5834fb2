#include "favorites/windows/favorite_bar_button_ui.h"

#include "ui/accessible_button.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

void* FavoriteBarButtonUI::GetInterface(const QString& name) {
  if (name == QLatin1String("FavorBarButton")) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

void FavoriteBarButtonUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("hotimage")) {
    hotImage_ = value;
  } else if (n != QLatin1String("align")) {  // a row has no text of its own to align
    CHorizontalLayoutUI::SetAttribute(name, value);
  }
}

bool FavoriteBarButtonUI::Activate() {
  if (!CHorizontalLayoutUI::Activate()) return false;
  Notify(DuiLib::kNotifyClick);
  return true;
}

QAccessibleInterface* FavoriteBarButtonUI::CreateAccessible() { return new DuiLib::CAccessibleButton(this); }

void FavoriteBarButtonUI::DoEvent(DuiLib::TEventUI& event) {
  using DuiLib::UIEvent;
  switch (event.type) {
    case UIEvent::kKeyDown:
      if (event.key == DuiLib::VK_SPACE || event.key == DuiLib::VK_RETURN) {
        Activate();
        return;
      }
      CHorizontalLayoutUI::DoEvent(event);
      return;
    case UIEvent::kMouseEnter:
    case UIEvent::kMouseLeave:
      hot_ = event.type == UIEvent::kMouseEnter;
      Invalidate();
      return;
    case UIEvent::kButtonDown:
    case UIEvent::kDblClick:
      pushed_ = rcItem_.contains(event.ptMouse);
      return;
    case UIEvent::kButtonUp:
      if (pushed_ && rcItem_.contains(event.ptMouse)) {
        pushed_ = false;
        Activate();
        return;
      }
      pushed_ = false;
      return;
    case UIEvent::kRButtonDown:
      return;
    case UIEvent::kRButtonUp:
      // The base reports the right click ("rightclick", with the point).
      DuiLib::CControlUI::DoEvent(event);
      return;
    default:
      CHorizontalLayoutUI::DoEvent(event);
  }
}

void FavoriteBarButtonUI::PaintStatusImage(QPainter& painter) {
  if (hot_ && !hotImage_.isEmpty()) DrawImage(painter, hotImage_);
}

}  // namespace tarvo
