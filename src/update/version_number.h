#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace tarvo {

// A release number such as "5.5.10.0": one to eight parts of decimal digits joined by
// dots, compared part by part as numbers (so 5.5.10.0 is newer than 5.5.8.1, and
// "01" equals "1"; a missing trailing part counts as 0, so 5.5.9 equals 5.5.9.0).
// Any other text (letters, signs, blanks, empty parts, over 64 characters) is not a
// release number: an announcement carrying one is never taken as newer. Parts may
// have any number of digits; nothing overflows.
//
// A value type; any thread.
class VersionNumber {
 public:
  // The number the text spells, or nothing.
  static std::optional<VersionNumber> Parse(std::string_view text);
  static std::optional<VersionNumber> Parse(WStringView text);

  // Negative, zero or positive as this number is older, equal or newer than `other`.
  int Compare(const VersionNumber& other) const;

  // True only when both texts are release numbers and `announced` is the newer one.
  static bool IsNewer(WStringView announced, WStringView own);

 private:
  std::vector<std::string> parts_;  // digits without leading zeros ("" is 0)
};

}  // namespace tarvo
