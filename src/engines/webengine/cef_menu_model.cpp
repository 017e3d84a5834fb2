#include "engines/webengine/cef_menu_model.h"

namespace tarvo::cef {

bool CefMenuModel::Clear() {
  items_.clear();
  return true;
}

bool CefMenuModel::AddItem(int command_id, const CefString& label) {
  if (command_id == kSeparatorId) {
    return false;
  }
  items_.push_back(Item{command_id, label, true});
  return true;
}

bool CefMenuModel::AddSeparator() {
  items_.push_back(Item{});
  return true;
}

bool CefMenuModel::SetEnabled(int command_id, bool enabled) {
  bool found = false;
  for (auto& item : items_) {
    if (!item.IsSeparator() && item.command_id == command_id) {
      item.enabled = enabled;
      found = true;
    }
  }
  return found;
}

int CefMenuModel::GetCommandIdAt(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)].command_id : kSeparatorId;
}

CefString CefMenuModel::GetLabelAt(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)].label : CefString();
}

bool CefMenuModel::IsEnabledAt(int index) const {
  return index >= 0 && index < GetCount() && items_[static_cast<size_t>(index)].enabled;
}

bool CefMenuModel::IsSeparatorAt(int index) const {
  return index >= 0 && index < GetCount() && items_[static_cast<size_t>(index)].IsSeparator();
}

}  // namespace tarvo::cef
