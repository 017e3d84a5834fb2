#pragma once

#include <json/value.h>

#include <string>
#include <string_view>

namespace tarvo::service {

// Seeded names (countries, areas) are either one text or an object of texts by
// language code ("en", "zh-cn", ...). Browsers send either a language code or a
// language name ("usa", "china", ...); names are mapped to their codes. Falls back to
// "en", then to the first text. Any thread.
std::string PickLocalized(const Json::Value& names, std::string_view language);

// True when `names` is a text or an object whose members are all texts.
bool IsLocalizedText(const Json::Value& names);

}  // namespace tarvo::service
