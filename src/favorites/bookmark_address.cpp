#include "favorites/bookmark_address.h"

#include <array>
#include <string>

namespace tarvo {

namespace {

constexpr std::array<std::string_view, 3> kRefusedSchemes = {"javascript", "data", "file"};
// Longer than any refused scheme: reading stops there.
constexpr size_t kLongestScheme = 10;

}  // namespace

bool BookmarkAddress::IsRefused(std::string_view url) {
  size_t at = 0;
  while (at < url.size() && static_cast<unsigned char>(url[at]) <= 0x20) ++at;
  std::string scheme;
  for (; at < url.size() && url[at] != ':'; ++at) {
    const char c = url[at];
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (scheme.size() > kLongestScheme) return false;
    scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  if (at == url.size()) return false;
  for (std::string_view refused : kRefusedSchemes) {
    if (scheme == refused) return true;
  }
  return false;
}

}  // namespace tarvo
