#include "ui/combo_ui.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/accessible_combo.h"
#include "ui/accessible_events.h"
#include "ui/combo_wnd.h"
#include "ui/list_container_element_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"
#include "ui/window_wnd.h"

namespace DuiLib {
CComboUI::CComboUI() = default;

CComboUI::~CComboUI() {
  if (dropWnd_ != nullptr) {
    dropWnd_->DetachCombo();
  }
}

void* CComboUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Combo"), Qt::CaseInsensitive) == 0) return static_cast<CComboUI*>(this);
  if (name.compare(QLatin1String("IListOwner"), Qt::CaseInsensitive) == 0) return static_cast<IListOwnerUI*>(this);
  return CContainerUI::GetInterface(name);
}

bool CComboUI::SelectItem(int index, bool, bool notify) {
  if (index == curSel_) {
    return true;
  }
  if (index >= 0 && CListContainerElementUI::FromControl(GetItemAt(index)) == nullptr) {
    return false;
  }
  const int old = curSel_;
  if (CListContainerElementUI* previous = CListContainerElementUI::FromControl(GetItemAt(old))) previous->SetSelectedState(false);
  curSel_ = index;
  if (CListContainerElementUI* next = CListContainerElementUI::FromControl(GetItemAt(index))) next->SetSelectedState(true);
  Invalidate();
  CAccessibleEvents::ValueChanged(this, GetText());
  if (notify) {
    Notify(kNotifyItemSelect, static_cast<WPARAM>(curSel_), old);
  }
  return true;
}

bool CComboUI::IsAccessibleNode() const {
  return accRole_.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

QAccessibleInterface* CComboUI::CreateAccessible() { return new CAccessibleCombo(this); }

int CComboUI::SelectableFrom(int from, int step) const {
  for (int i = from; i >= 0 && i < GetCount(); i += step) {
    CControlUI* item = GetItemAt(i);
    if (CListContainerElementUI::FromControl(item) != nullptr && item->IsEnabled()) return i;
  }
  return -1;
}

QString CComboUI::GetText() const {
  CControlUI* item = GetItemAt(curSel_);
  return item != nullptr ? item->GetText() : QString();
}

bool CComboUI::ShowDropList() {
  if (dropWnd_ != nullptr || manager_ == nullptr || manager_->GetWindow() == nullptr || GetCount() == 0) {
    return false;
  }
  dropWnd_ = new CComboWnd(this);
  if (!dropWnd_->Open(manager_->GetWindow())) {
    dropWnd_ = nullptr;
    return false;
  }
  return true;
}

bool CComboUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  CControlUI* raw = control.get();
  const int count = GetCount();
  if (!CContainerUI::AddAt(std::move(control), index)) {
    return false;
  }
  raw->SetInternVisible(false);  // items live in the drop list, not in the combo
  if (CListContainerElementUI* element = CListContainerElementUI::FromControl(raw)) element->SetOwner(this);
  if (curSel_ >= 0 && qBound(0, index, count) <= curSel_) ++curSel_;
  return true;
}

std::unique_ptr<CControlUI> CComboUI::Detach(CControlUI* control) {
  const int index = GetItemIndex(control);
  auto owned = CContainerUI::Detach(control);
  if (owned) {
    if (CListContainerElementUI* element = CListContainerElementUI::FromControl(owned.get())) element->SetOwner(nullptr);
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
  }
  return owned;
}

void CComboUI::SetPos(const QRect& rc) { CControlUI::SetPos(rc); }

CControlUI* CComboUI::FindControlAt(QPoint point) {
  if (!IsVisible() || !mouseEnabled_ || !rcItem_.contains(point)) return nullptr;
  return this;
}

void CComboUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
}

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  ShowDropList();
  return true;
}

void CComboUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) return;
  switch (event.type) {
    case UIEvent::kButtonDown:
      Activate();
      return;
    case UIEvent::kMouseEnter:
    case UIEvent::kMouseLeave:
      hot_ = event.type == UIEvent::kMouseEnter;
      Invalidate();
      return;
    case UIEvent::kScrollWheel:
      SelectItem(qBound(0, curSel_ + (event.wheelDelta < 0 ? 1 : -1), GetCount() - 1));
      return;
    case UIEvent::kKeyDown: {
      const bool alt = (event.modifiers & MK_ALT) != 0;
      if ((alt && event.key == VK_DOWN) || event.key == VK_F4 || event.key == VK_SPACE || event.key == VK_RETURN) {
        ShowDropList();
        return;
      }
      int target = -1;
      if (event.key == VK_UP) target = SelectableFrom(curSel_ - 1, -1);
      else if (event.key == VK_DOWN) target = SelectableFrom(curSel_ + 1, 1);
      else if (event.key == VK_HOME) target = SelectableFrom(0, 1);
      else if (event.key == VK_END) target = SelectableFrom(GetCount() - 1, -1);
      else {
        CControlUI::DoEvent(event);
        return;
      }
      if (target >= 0) SelectItem(target);
      return;
    }
    default:
      CControlUI::DoEvent(event);
  }
}

void CComboUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("dropboxsize")) {
    if (auto s = CAttributeParser::ParseSize(value)) dropBox_ = *s;
  } else if (n == QLatin1String("textpadding")) {
    if (auto r = CAttributeParser::ParseRect(value)) textPadding_ = *r;
  } else if (n == QLatin1String("normalimage")) {
    normalImage_ = value;
  } else if (n == QLatin1String("hotimage")) {
    hotImage_ = value;
  } else if (n == QLatin1String("itemfont")) {
    info_.font = CAttributeParser::ParseInt(value).value_or(info_.font);
  } else if (n == QLatin1String("itemtextcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) info_.textColor = *c;
  } else if (n == QLatin1String("itemhotbkcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) info_.hotBkColor = *c;
  } else if (n == QLatin1String("itemselectedbkcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) info_.selectedBkColor = *c;
  } else {
    CContainerUI::SetAttribute(name, value);
  }
  Invalidate();
}

void CComboUI::DoPaint(QPainter& painter, const QRect& dirty) {
  if (!dirty.intersects(rcItem_)) return;
  PaintBkColor(painter);
  PaintBkImage(painter);
  if (!(hot_ && DrawImage(painter, hotImage_))) DrawImage(painter, normalImage_);
  const QColor textColor = info_.textColor.isValid() ? info_.textColor
                           : manager_ != nullptr ? manager_->GetDefaultFontColor()
                                                 : QColor(Qt::black);
  CRenderEngine::DrawText(painter, rcItem_.marginsRemoved(ToMargins(textPadding_)), GetText(), textColor,
                          ResolveFont(info_.font), Qt::AlignLeft | Qt::AlignVCenter, true);
  if (normalImage_.isEmpty()) {
    // A small chevron says "this opens".
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x70, 0x76, 0x80), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c(rcItem_.right() - 12, rcItem_.center().y() + 0.5);
    QPainterPath path;
    path.moveTo(c + QPointF(-4, -2));
    path.lineTo(c + QPointF(0, 2));
    path.lineTo(c + QPointF(4, -2));
    painter.drawPath(path);
    painter.restore();
  }
  PaintBorder(painter);
}

}  // namespace DuiLib
