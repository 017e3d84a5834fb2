#include "ui/list_container_element_ui.h"

#include "ui/accessible_events.h"
#include "ui/accessible_list_item.h"
#include "ui/render_engine.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

void* CListContainerElementUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("ListItem"), Qt::CaseInsensitive) == 0 ||
      name.compare(QLatin1String("ListContainerElement"), Qt::CaseInsensitive) == 0) {
    return this;
  }
  return CHorizontalLayoutUI::GetInterface(name);
}

int CListContainerElementUI::GetIndex() const {
  return owner_ != nullptr ? owner_->GetItemIndexOf(const_cast<CListContainerElementUI*>(this)) : -1;
}

void CListContainerElementUI::SetSelectedState(bool selected) {
  if (selected_ != selected) {
    selected_ = selected;
    Invalidate();
    CAccessibleEvents::SelectionChanged(this);
  }
}

bool CListContainerElementUI::IsAccessibleNode() const {
  return accRole_.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

QAccessibleInterface* CListContainerElementUI::CreateAccessible() { return new CAccessibleListItem(this); }

bool CListContainerElementUI::Activate() {
  if (!CHorizontalLayoutUI::Activate()) {
    return false;
  }
  if (IsSelectable()) SelectInOwner();
  TEventUI event{UIEvent::kButtonUp, this, rcItem_.center()};
  OnItemClick(event);
  return true;
}

bool CListContainerElementUI::SelectInOwner() {
  if (owner_ == nullptr) {
    return false;
  }
  const int index = GetIndex();
  return index >= 0 && owner_->SelectItem(index, true, true);
}

void CListContainerElementUI::OnItemClick(const TEventUI& event) {
  Notify(kNotifyItemClick, 0, MakeLParam(event.ptMouse.x(), event.ptMouse.y()));
}

void CListContainerElementUI::OnItemRightClick(const TEventUI& event) {
  Notify(kNotifyItemRightClick, 0, MakeLParam(event.ptMouse.x(), event.ptMouse.y()));
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) {
    CHorizontalLayoutUI::DoEvent(event);
    return;
  }
  switch (event.type) {
    case UIEvent::kButtonDown:
      pressed_ = true;
      SelectInOwner();
      return;
    case UIEvent::kDblClick:
      pressed_ = false;
      SelectInOwner();
      Notify(kNotifyItemDbClick, 0, MakeLParam(event.ptMouse.x(), event.ptMouse.y()));
      return;
    case UIEvent::kButtonUp:
      if (pressed_ && rcItem_.contains(event.ptMouse)) {
        pressed_ = false;
        OnItemClick(event);
      }
      pressed_ = false;
      return;
    case UIEvent::kRButtonDown:
      rpressed_ = true;
      SelectInOwner();
      return;
    case UIEvent::kRButtonUp:
      if (rpressed_ && rcItem_.contains(event.ptMouse)) {
        OnItemRightClick(event);
      }
      rpressed_ = false;
      return;
    case UIEvent::kMouseEnter:
      hot_ = true;
      Invalidate();
      return;
    case UIEvent::kMouseLeave:
      hot_ = false;
      Invalidate();
      return;
    case UIEvent::kKeyDown:
      // Arrows go on to the list, which knows which rows can be chosen.
      if ((event.key == VK_RETURN || event.key == VK_SPACE) && event.pSender == this) {
        Activate();
        return;
      }
      break;
    default:
      break;
  }
  CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerElementUI::PaintBkColor(QPainter& painter) {
  CHorizontalLayoutUI::PaintBkColor(painter);
  TListInfoUI* info = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
  if (info == nullptr) {
    return;
  }
  if (selected_) {
    CRenderEngine::DrawColor(painter, rcItem_, info->selectedBkColor);
  } else if (hot_) {
    CRenderEngine::DrawColor(painter, rcItem_, info->hotBkColor);
  } else {
    CRenderEngine::DrawColor(painter, rcItem_, info->bkColor);
  }
}

void CListContainerElementUI::PaintStatusImage(QPainter& painter) {
  TListInfoUI* info = owner_ != nullptr ? owner_->GetListInfo() : nullptr;
  if (info != nullptr) {
    if (selected_) {
      DrawImage(painter, info->selectedImage);
    } else if (hot_) {
      DrawImage(painter, info->hotImage);
    }
  }
  CHorizontalLayoutUI::PaintStatusImage(painter);
}

}  // namespace DuiLib
