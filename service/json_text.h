#pragma once

#include <json/value.h>

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::service {

// Compact UTF-8 JSON text of any value (no indentation, non-ASCII kept as UTF-8).
std::string WriteCompactJson(const Json::Value& value);

// Parses one JSON value (comments allowed, nothing but blanks after it), or nullopt
// when the text is not JSON. Any thread.
std::optional<Json::Value> ParseJson(std::string_view text);

}  // namespace tarvo::service
