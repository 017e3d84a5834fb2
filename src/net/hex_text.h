#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Bytes as lower-case hexadecimal text (two digits a byte), the form digests, keys and
// signatures travel in. Any thread.
std::string HexEncode(std::string_view bytes);

// The value of one hexadecimal digit in either case, or -1 for any other character.
int HexDigitValue(char c);

// The bytes of a hexadecimal text in either case; nothing for an odd length or a
// character that is not a hexadecimal digit.
std::optional<std::string> HexDecode(std::string_view text);

}  // namespace tarvo
