#include "ui/container_ui.h"

#include <QCursor>
#include <QPainter>
#include <algorithm>

#include "ui/accessible_events.h"
#include "ui/accessible_scroll_bar.h"
#include "ui/focus_navigator.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_messages.h"

namespace DuiLib {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  // Children go first, while this control is still whole for their clean-up.
  items_.clear();
}

QString CContainerUI::GetClass() const { return QStringLiteral("ContainerUI"); }

void* CContainerUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Container"), Qt::CaseInsensitive) == 0) {
    return this;
  }
  return CControlUI::GetInterface(name);
}

bool CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  if (!control) {
    return false;
  }
  index = std::clamp(index, 0, GetCount());
  CControlUI* raw = control.get();
  items_.insert(items_.begin() + index, std::move(control));
  raw->SetManager(manager_, this, manager_ != nullptr);
  raw->SetInternVisible(IsVisible());
  OnChildAdded(raw);
  NeedUpdate();
  CAccessibleEvents::Added(raw);
  return true;
}

std::unique_ptr<CControlUI> CContainerUI::Detach(CControlUI* control) {
  const auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == control; });
  if (it == items_.end()) {
    return nullptr;
  }
  CAccessibleEvents::Removing(it->get());
  std::unique_ptr<CControlUI> owned = std::move(*it);
  items_.erase(it);
  if (manager_ != nullptr) {
    manager_->ReapObjects(owned.get());
    manager_->Invalidate(owned->GetPos());
  }
  NeedUpdate();
  return owned;
}

bool CContainerUI::Remove(CControlUI* control) {
  std::unique_ptr<CControlUI> owned = Detach(control);
  if (!owned) {
    return false;
  }
  if (manager_ != nullptr) {
    manager_->AddDelayedCleanup(std::move(owned));
  }
  return true;
}

bool CContainerUI::RemoveAt(int index) { return Remove(GetItemAt(index)); }

void CContainerUI::RemoveAll() {
  while (!items_.empty()) {
    Remove(items_.back().get());
  }
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) {
    return nullptr;
  }
  return items_[static_cast<size_t>(index)].get();
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (items_[static_cast<size_t>(i)].get() == control) {
      return i;
    }
  }
  return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  const int from = GetItemIndex(control);
  if (from < 0) {
    return false;
  }
  index = std::clamp(index, 0, GetCount() - 1);
  std::unique_ptr<CControlUI> owned = std::move(items_[static_cast<size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + index, std::move(owned));
  NeedUpdate();
  return true;
}

void CContainerUI::SetInset(const RECT& inset) {
  inset_ = inset;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = padding;
  NeedUpdate();
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
  if (vertical && !vscroll_) {
    vscroll_ = std::make_unique<CScrollBarUI>(false);
  } else if (!vertical) {
    vscroll_.reset();
  }
  if (horizontal && !hscroll_) {
    hscroll_ = std::make_unique<CScrollBarUI>(true);
  } else if (!horizontal) {
    hscroll_.reset();
  }
  NeedUpdate();
}

QPoint CContainerUI::GetScrollPos() const {
  return QPoint(hscroll_ ? hscroll_->GetScrollPos() : 0, vscroll_ ? vscroll_->GetScrollPos() : 0);
}

QSize CContainerUI::GetScrollRange() const {
  return QSize(hscroll_ ? hscroll_->GetRange() : 0, vscroll_ ? vscroll_->GetRange() : 0);
}

void CContainerUI::SetScrollPos(QPoint pos) {
  const QPoint old = GetScrollPos();
  if (vscroll_) vscroll_->SetScrollPos(pos.y());
  if (hscroll_) hscroll_->SetScrollPos(pos.x());
  if (GetScrollPos() != old) {
    NeedUpdate();
  }
}

void CContainerUI::LineUp() { SetScrollPos(GetScrollPos() - QPoint(0, lineSize_)); }

void CContainerUI::LineDown() { SetScrollPos(GetScrollPos() + QPoint(0, lineSize_)); }

void CContainerUI::EnsureVisible(int index) {
  CControlUI* item = GetItemAt(index);
  if (item == nullptr || !vscroll_) {
    return;
  }
  if (manager_ != nullptr) {
    manager_->UpdateLayout();
  }
  const QRect inner = InnerRect();
  const QRect rc = item->GetPos();
  QPoint pos = GetScrollPos();
  if (rc.top() < inner.top()) {
    pos.ry() -= inner.top() - rc.top();
  } else if (rc.bottom() > inner.bottom()) {
    pos.ry() += rc.bottom() - inner.bottom();
  }
  SetScrollPos(pos);
}

QAccessibleInterface* CContainerUI::GetScrollBarAccessible(bool vertical) {
  CScrollBarUI* bar = GetScrollBar(vertical);
  if (bar == nullptr) {
    return nullptr;
  }
  if (bar->GetAccessibleId() == 0) {
    bar->SetAccessibleId(QAccessible::registerAccessibleInterface(new CAccessibleScrollBar(this, vertical)));
  }
  return QAccessible::accessibleInterface(bar->GetAccessibleId());
}

bool CContainerUI::IsAccessibleNode() const {
  if (accRole_.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
    return false;
  }
  return !accRole_.isEmpty() || !accName_.isEmpty();
}

bool CContainerUI::MoveFocusByArrow(const TEventUI& event) {
  if (manager_ == nullptr || (event.modifiers & (MK_CONTROL | MK_ALT)) != 0) {
    return false;
  }
  const QString role = accRole_.toLower();
  const bool across = role == QLatin1String("tablist") || role == QLatin1String("toolbar") ||
                      role == QLatin1String("menubar");
  const bool down = role == QLatin1String("menu");
  int step = 0;
  if ((across && event.key == VK_LEFT) || (down && event.key == VK_UP)) step = -1;
  if ((across && event.key == VK_RIGHT) || (down && event.key == VK_DOWN)) step = 1;
  if (step == 0) {
    return false;
  }
  CFocusNavigator(*manager_).MoveWithin(this, event.pSender, step);
  return true;
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  CControlUI::SetManager(manager, parent, init);
  for (auto& item : items_) {
    item->SetManager(manager, this, init);
  }
}

CControlUI* CContainerUI::FindControl(const std::function<bool(CControlUI*)>& visitor) {
  if (visitor(this)) {
    return this;
  }
  for (auto& item : items_) {
    if (CControlUI* found = item->FindControl(visitor)) {
      return found;
    }
  }
  return nullptr;
}

CControlUI* CContainerUI::FindControlAt(QPoint point) {
  if (!IsVisible() || !rcItem_.contains(point)) {
    return nullptr;
  }
  if (mouseChild_) {
    // Floating children lie above the flow; later children above earlier ones.
    for (int pass = 0; pass < 2; ++pass) {
      for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if ((*it)->IsFloat() != (pass == 0)) {
          continue;
        }
        if (!(*it)->IsFloat() && !InnerRect().contains(point)) {
          continue;
        }
        if (CControlUI* found = (*it)->FindControlAt(point)) {
          return found;
        }
      }
    }
  }
  return mouseEnabled_ ? this : nullptr;
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) {
    return;
  }
  CControlUI::SetVisible(visible);
  for (auto& item : items_) {
    item->SetInternVisible(IsVisible());
  }
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (auto& item : items_) {
    item->SetInternVisible(IsVisible());
  }
}

void CContainerUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  for (auto& item : items_) {
    item->SetEnabled(enabled);
  }
}

QRect CContainerUI::InnerRect() const {
  QRect rc = rcItem_.marginsRemoved(ToMargins(inset_));
  if (vscroll_ && vscroll_->IsShown()) {
    rc.setRight(rc.right() - CScrollBarUI::kThickness);
  }
  if (hscroll_ && hscroll_->IsShown()) {
    rc.setBottom(rc.bottom() - CScrollBarUI::kThickness);
  }
  return rc;
}

void CContainerUI::SetFloatPos(CControlUI* child) {
  const QPoint offset = child->GetFloatOffset();
  const int left = rcItem_.left() + offset.x();
  const int top = rcItem_.top() + offset.y();
  // A floating control without a size reaches to its parent's far edge.
  const int width = child->GetFixedWidth() > 0 ? child->GetFixedWidth() : rcItem_.right() + 1 - left;
  const int height = child->GetFixedHeight() > 0 ? child->GetFixedHeight() : rcItem_.bottom() + 1 - top;
  child->SetPos(QRect(left, top, qMax(0, width), qMax(0, height)));
}

void CContainerUI::ProcessScrollBar(const QRect& inner, int contentWidth, int contentHeight) {
  if (vscroll_) {
    vscroll_->SetRange(contentHeight - inner.height());
    vscroll_->SetPos(QRect(rcItem_.right() - inset_.right - CScrollBarUI::kThickness + 1,
                           rcItem_.top() + inset_.top, CScrollBarUI::kThickness,
                           rcItem_.height() - inset_.top - inset_.bottom),
                     inner.height());
  }
  if (hscroll_) {
    hscroll_->SetRange(contentWidth - inner.width());
    hscroll_->SetPos(QRect(rcItem_.left() + inset_.left, rcItem_.bottom() - inset_.bottom - CScrollBarUI::kThickness + 1,
                           rcItem_.width() - inset_.left - inset_.right, CScrollBarUI::kThickness),
                     inner.width());
  }
}

void CContainerUI::SetPos(const QRect& rc) {
  CControlUI::SetPos(rc);
  const QRect inner = InnerRect();
  for (auto& item : items_) {
    if (!item->IsVisible()) {
      continue;
    }
    if (item->IsFloat()) {
      SetFloatPos(item.get());
    } else {
      item->SetPos(inner.marginsRemoved(ToMargins(item->GetPadding())));
    }
  }
}

void CContainerUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("inset")) {
    if (auto r = CAttributeParser::ParseRect(value)) SetInset(*r);
  } else if (n == QLatin1String("childpadding")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetChildPadding(*v);
  } else if (n == QLatin1String("mousechild")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetMouseChildEnabled(*b);
  } else if (n == QLatin1String("vscrollbar")) {
    if (auto b = CAttributeParser::ParseBool(value)) EnableScrollBar(*b, hscroll_ != nullptr);
  } else if (n == QLatin1String("hscrollbar")) {
    if (auto b = CAttributeParser::ParseBool(value)) EnableScrollBar(vscroll_ != nullptr, *b);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CContainerUI::DoPaint(QPainter& painter, const QRect& dirty) {
  if (!dirty.intersects(rcItem_)) {
    return;
  }
  PaintBkColor(painter);
  PaintBkImage(painter);
  PaintStatusImage(painter);
  PaintText(painter);
  painter.save();
  painter.setClipRect(rcItem_.intersected(dirty), Qt::IntersectClip);
  const QRect inner = InnerRect();
  for (auto& item : items_) {
    if (!item->IsVisible() || item->IsFloat()) {
      continue;
    }
    if (!item->GetPos().intersects(inner)) {
      continue;
    }
    painter.save();
    painter.setClipRect(inner, Qt::IntersectClip);
    item->DoPaint(painter, dirty);
    painter.restore();
  }
  for (auto& item : items_) {
    if (item->IsVisible() && item->IsFloat()) {
      item->DoPaint(painter, dirty);
    }
  }
  const bool hot = manager_ != nullptr && rcItem_.contains(manager_->GetHostWidget()->mapFromGlobal(QCursor::pos()));
  if (vscroll_) vscroll_->Paint(painter, hot);
  if (hscroll_) hscroll_->Paint(painter, hot);
  painter.restore();
  // The border goes on top, so children with a background don't hide it.
  PaintBorder(painter);
}

void CContainerUI::DoEvent(TEventUI& event) {
  if (event.type == UIEvent::kKeyDown && MoveFocusByArrow(event)) {
    return;
  }
  const bool hasBars = (vscroll_ && vscroll_->IsShown()) || (hscroll_ && hscroll_->IsShown());
  if (hasBars) {
    switch (event.type) {
      case UIEvent::kScrollWheel: {
        const QPoint old = GetScrollPos();
        const int steps = event.wheelDelta / 40;
        if (vscroll_ && vscroll_->IsShown()) {
          SetScrollPos(old - QPoint(0, steps * lineSize_));
        } else {
          SetScrollPos(old - QPoint(steps * lineSize_, 0));
        }
        if (GetScrollPos() != old || parent_ == nullptr) {
          return;
        }
        break;
      }
      case UIEvent::kButtonDown:
        for (CScrollBarUI* bar : {vscroll_.get(), hscroll_.get()}) {
          if (bar != nullptr && bar->GetTrack().contains(event.ptMouse)) {
            if (bar->Press(event.ptMouse)) NeedUpdate();
            return;
          }
        }
        break;
      case UIEvent::kMouseMove:
        for (CScrollBarUI* bar : {vscroll_.get(), hscroll_.get()}) {
          if (bar != nullptr && bar->Drag(event.ptMouse)) {
            NeedUpdate();
          }
        }
        Invalidate();
        break;
      case UIEvent::kButtonUp:
        if (vscroll_) vscroll_->Release();
        if (hscroll_) hscroll_->Release();
        break;
      default:
        break;
    }
  }
  CControlUI::DoEvent(event);
}

}  // namespace DuiLib
