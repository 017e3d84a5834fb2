#include "ui/list_ui.h"

#include "ui/accessible_list.h"
#include "ui/list_container_element_ui.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {
CListUI::CListUI() { EnableScrollBar(true, false); }

void* CListUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("List"), Qt::CaseInsensitive) == 0) return static_cast<CListUI*>(this);
  if (name.compare(QLatin1String("IListOwner"), Qt::CaseInsensitive) == 0) return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

bool CListUI::SelectItem(int index, bool takeFocus, bool notify) {
  if (index == curSel_) {
    return true;
  }
  CListContainerElementUI* next = nullptr;
  if (index >= 0) {
    next = CListContainerElementUI::FromControl(GetItemAt(index));
    if (next == nullptr || !next->IsVisible() || !next->IsEnabled() || !next->IsSelectable()) {
      return false;
    }
  }
  const int old = curSel_;
  if (CListContainerElementUI* previous = CListContainerElementUI::FromControl(GetItemAt(old))) {
    previous->SetSelectedState(false);
  }
  curSel_ = index;
  if (next != nullptr) {
    next->SetSelectedState(true);
    EnsureVisible(index);
    if (takeFocus) next->SetFocus();
  }
  if (notify) {
    Notify(kNotifyItemSelect, static_cast<WPARAM>(curSel_), old);
  }
  return true;
}

bool CListUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  CControlUI* raw = control.get();
  const int count = GetCount();
  if (!CVerticalLayoutUI::AddAt(std::move(control), index)) {
    return false;
  }
  if (CListContainerElementUI* element = CListContainerElementUI::FromControl(raw)) {
    element->SetOwner(this);
  }
  if (curSel_ >= 0 && qBound(0, index, count) <= curSel_) {
    ++curSel_;
  }
  return true;
}

std::unique_ptr<CControlUI> CListUI::Detach(CControlUI* control) {
  const int index = GetItemIndex(control);
  auto owned = CVerticalLayoutUI::Detach(control);
  if (!owned) {
    return owned;
  }
  if (CListContainerElementUI* element = CListContainerElementUI::FromControl(owned.get())) {
    element->SetOwner(nullptr);
    element->SetSelectedState(false);
  }
  if (index == curSel_) {
    curSel_ = -1;
  } else if (index < curSel_) {
    --curSel_;
  }
  return owned;
}

void CListUI::RemoveAll() {
  CVerticalLayoutUI::RemoveAll();
  curSel_ = -1;
}

void CListUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  const auto color = [&](QColor& target) {
    if (auto c = CAttributeParser::ParseColor(value)) target = *c;
  };
  if (n == QLatin1String("itemfont")) {
    info_.font = CAttributeParser::ParseInt(value).value_or(info_.font);
  } else if (n == QLatin1String("itemalign")) {
    int horizontal = Qt::AlignLeft;
    if (value.contains(QLatin1String("center"))) horizontal = Qt::AlignHCenter;
    if (value.contains(QLatin1String("right"))) horizontal = Qt::AlignRight;
    info_.align = horizontal | Qt::AlignVCenter;
  } else if (n == QLatin1String("itemtextpadding")) {
    if (auto r = CAttributeParser::ParseRect(value)) info_.textPadding = *r;
  } else if (n == QLatin1String("itemtextcolor")) {
    color(info_.textColor);
  } else if (n == QLatin1String("itemselectedtextcolor")) {
    color(info_.selectedTextColor);
  } else if (n == QLatin1String("itemhottextcolor")) {
    color(info_.hotTextColor);
  } else if (n == QLatin1String("itemdisabledtextcolor")) {
    color(info_.disabledTextColor);
  } else if (n == QLatin1String("itembkcolor")) {
    color(info_.bkColor);
  } else if (n == QLatin1String("itemhotbkcolor")) {
    color(info_.hotBkColor);
  } else if (n == QLatin1String("itemselectedbkcolor")) {
    color(info_.selectedBkColor);
  } else if (n == QLatin1String("itemhotimage")) {
    info_.hotImage = value;
  } else if (n == QLatin1String("itemselectedimage")) {
    info_.selectedImage = value;
  } else if (n == QLatin1String("itemlinecolor")) {
    color(info_.lineColor);
  } else {
    CVerticalLayoutUI::SetAttribute(name, value);
  }
}

QAccessibleInterface* CListUI::CreateAccessible() { return new CAccessibleList(this); }

bool CListUI::IsAccessibleNode() const {
  return accRole_.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

void CListUI::SetFocus() {
  CControlUI* row = GetItemAt(curSel_);
  if (row != nullptr && row->IsVisible()) {
    row->SetFocus();
    return;
  }
  CVerticalLayoutUI::SetFocus();
}

int CListUI::SelectableFrom(int from, int step) const {
  for (int i = from; i >= 0 && i < GetCount(); i += step) {
    CListContainerElementUI* row = CListContainerElementUI::FromControl(GetItemAt(i));
    if (row != nullptr && row->IsVisible() && row->IsEnabled() && row->IsSelectable()) return i;
  }
  return -1;
}

void CListUI::DoEvent(TEventUI& event) {
  if (event.type == UIEvent::kKeyDown && (event.modifiers & (MK_CONTROL | MK_ALT)) == 0) {
    int target = -1;
    switch (event.key) {
      case VK_UP: target = SelectableFrom(curSel_ < 0 ? GetCount() - 1 : curSel_ - 1, -1); break;
      case VK_DOWN: target = SelectableFrom(curSel_ + 1, 1); break;
      case VK_HOME: target = SelectableFrom(0, 1); break;
      case VK_END: target = SelectableFrom(GetCount() - 1, -1); break;
      default: CVerticalLayoutUI::DoEvent(event); return;
    }
    if (target >= 0) SelectItem(target, true);
    return;
  }
  CVerticalLayoutUI::DoEvent(event);
}

}  // namespace DuiLib
