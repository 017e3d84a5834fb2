#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::service {

// A whole decimal integer (optional leading "-"), or nullopt for anything else,
// including empty text, blanks and values that do not fit in 64 bits.
std::optional<int64_t> ParseInteger(std::string_view text);

// True when `text` is well-formed UTF-8 without control characters: what user names
// and other single-line texts must be before they are stored.
bool IsCleanText(std::string_view text);

}  // namespace tarvo::service
