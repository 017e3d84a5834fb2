#include "field_values.h"

#include <charconv>

#include "platform/text.h"

namespace tarvo::service {

std::optional<int64_t> ParseInteger(std::string_view text) {
  int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto parsed = std::from_chars(text.data(), end, value);
  if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end) {
    return std::nullopt;
  }
  return value;
}

bool IsCleanText(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      return false;
    }
  }
  // Malformed sequences are replaced on the way to UTF-16, so a round trip that
  // changes the text reveals them.
  return WideToUtf8(Utf8ToWide(text)) == text;
}

}  // namespace tarvo::service
