#include "shell/mainwnd/typed_address.h"

#include <array>

namespace tarvo {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000' || c == u'\u00a0'; }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// The schemes the page takes as they are; others get "http://" in front.
constexpr std::array<WStringView, 2> kKeptSchemes = {u"http", u"file"};

}  // namespace

WString TypedAddress::Clean(WStringView typed) {
  size_t begin = 0;
  size_t end = typed.size();
  while (begin < end && IsBlank(typed[begin])) ++begin;
  while (end > begin && IsBlank(typed[end - 1])) --end;
  WString text(typed.substr(begin, end - begin));
  const size_t colon = text.find(u':');
  if (colon == WString::npos) return text;
  WString scheme = text.substr(0, colon);
  for (char16_t& c : scheme) c = Lower(c);
  for (WStringView kept : kKeptSchemes) {
    // "https" starts with "http" as well.
    if (scheme.starts_with(kept)) {
      text.replace(0, colon, scheme);
      break;
    }
  }
  return text;
}

}  // namespace tarvo
