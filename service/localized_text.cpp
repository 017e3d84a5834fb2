#include "localized_text.h"

#include <array>
#include <utility>

namespace tarvo::service {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kCodeByName = {{
    {"china", "zh-cn"},
    {"hongkong", "zh-tw"},
    {"indonesia", "id"},
    {"japan", "ja"},
    {"korea", "ko"},
    {"thailand", "th"},
    {"usa", "en"},
    {"vietnam", "vi"},
}};

std::string_view LanguageCode(std::string_view language) {
  for (const auto& [name, code] : kCodeByName) {
    if (name == language) {
      return code;
    }
  }
  return language;
}

}  // namespace

std::string PickLocalized(const Json::Value& names, std::string_view language) {
  if (names.isString()) {
    return names.asString();
  }
  if (!names.isObject() || names.empty()) {
    return std::string();
  }
  const std::string code(LanguageCode(language));
  if (names[code].isString()) {
    return names[code].asString();
  }
  if (names["en"].isString()) {
    return names["en"].asString();
  }
  return names[names.getMemberNames().front()].asString();
}

bool IsLocalizedText(const Json::Value& names) {
  if (names.isString()) {
    return true;
  }
  if (!names.isObject() || names.empty()) {
    return false;
  }
  for (const std::string& member : names.getMemberNames()) {
    if (!names[member].isString()) {
      return false;
    }
  }
  return true;
}

}  // namespace tarvo::service
