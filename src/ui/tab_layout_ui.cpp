#include "ui/tab_layout_ui.h"

#include "ui/paint_manager_ui.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

void* CTabLayoutUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("TabLayout"), Qt::CaseInsensitive) == 0) return this;
  return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) {
    return false;
  }
  if (index == curSel_) {
    return true;
  }
  const int old = curSel_;
  curSel_ = index;
  ApplyPageVisibility();
  NeedUpdate();
  Notify(kNotifyTabSelect, static_cast<WPARAM>(curSel_), old);
  return true;
}

bool CTabLayoutUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  const int count = GetCount();
  if (!CContainerUI::AddAt(std::move(control), index)) {
    return false;
  }
  if (curSel_ < 0) {
    curSel_ = 0;
  } else if (curSel_ < count && index <= curSel_) {
    ++curSel_;
  }
  ApplyPageVisibility();
  return true;
}

std::unique_ptr<CControlUI> CTabLayoutUI::Detach(CControlUI* control) {
  const int index = GetItemIndex(control);
  auto owned = CContainerUI::Detach(control);
  if (owned) {
    if (index < curSel_ || curSel_ >= GetCount()) {
      --curSel_;
    }
    if (curSel_ < 0 && GetCount() > 0) curSel_ = 0;
    if (GetCount() == 0) curSel_ = -1;
    owned->SetInternVisible(true);
    ApplyPageVisibility();
  }
  return owned;
}

void CTabLayoutUI::ApplyPageVisibility() {
  for (int i = 0; i < GetCount(); ++i) {
    items_[static_cast<size_t>(i)]->SetInternVisible(IsVisible() && i == curSel_);
  }
}

void CTabLayoutUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  ApplyPageVisibility();
}

void CTabLayoutUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  ApplyPageVisibility();
}

void CTabLayoutUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("selectedid"), Qt::CaseInsensitive) == 0) {
    if (auto v = CAttributeParser::ParseInt(value)) {
      // Pages may not exist yet while the skin is being read; remember the choice.
      curSel_ = *v;
      ApplyPageVisibility();
    }
    return;
  }
  CContainerUI::SetAttribute(name, value);
}

}  // namespace DuiLib
