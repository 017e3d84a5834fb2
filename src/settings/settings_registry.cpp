#include "settings/settings_registry.h"

namespace tarvo {

SettingsRegistry& SettingsRegistry::Instance() {
  static SettingsRegistry* registry = new SettingsRegistry();  // never destroyed: read during exit
  return *registry;
}

WString SettingsRegistry::Get(WStringView key) const {
  const auto found = values_.find(key);
  return found == values_.end() ? WString() : found->second;
}

std::string SettingsRegistry::GetUtf8(WStringView key) const { return WideToUtf8(Get(key)); }

void SettingsRegistry::Set(WStringView key, WStringView value) { values_.insert_or_assign(WString(key), WString(value)); }

void SettingsRegistry::ClearForTesting() { values_.clear(); }

}  // namespace tarvo
