#include "update/version_number.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr size_t kMaxText = 64;
constexpr size_t kMaxParts = 8;

int CompareDigits(const std::string& a, const std::string& b) {
  // Without leading zeros, a longer run of digits is the larger number.
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

std::optional<VersionNumber> VersionNumber::Parse(std::string_view text) {
  if (text.empty() || text.size() > kMaxText) return std::nullopt;
  VersionNumber number;
  size_t start = 0;
  while (true) {
    const size_t dot = text.find('.', start);
    const std::string_view part = text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    if (part.empty() || !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return std::nullopt;
    }
    const size_t firstSignificant = part.find_first_not_of('0');
    number.parts_.emplace_back(firstSignificant == std::string_view::npos ? std::string_view() : part.substr(firstSignificant));
    if (number.parts_.size() > kMaxParts) return std::nullopt;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return number;
}

std::optional<VersionNumber> VersionNumber::Parse(WStringView text) {
  // Non-ASCII text is no release number; converting it would only hide that.
  if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0x7f; })) return std::nullopt;
  const std::string narrow = WideToUtf8(text);
  return Parse(std::string_view(narrow));
}

int VersionNumber::Compare(const VersionNumber& other) const {
  const size_t count = std::max(parts_.size(), other.parts_.size());
  static const std::string kZero;
  for (size_t i = 0; i < count; ++i) {
    const std::string& mine = i < parts_.size() ? parts_[i] : kZero;
    const std::string& theirs = i < other.parts_.size() ? other.parts_[i] : kZero;
    if (const int order = CompareDigits(mine, theirs); order != 0) return order;
  }
  return 0;
}

bool VersionNumber::IsNewer(WStringView announced, WStringView own) {
  const auto theirs = Parse(announced);
  const auto mine = Parse(own);
  return theirs && mine && theirs->Compare(*mine) > 0;
}

}  // namespace tarvo
