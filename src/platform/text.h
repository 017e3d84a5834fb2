#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// Every user-visible or path string inside the program is UTF-16; UTF-8 is used at
// every database, JSON, HTTP and file-system boundary.
using WString = std::u16string;
using WStringView = std::u16string_view;

// UTF-8 → UTF-16. Malformed sequences (stray continuation bytes, overlong forms,
// encoded surrogates, truncated sequences, values past U+10FFFF) each become U+FFFD.
WString Utf8ToWide(std::string_view utf8);

// UTF-16 → UTF-8. Unpaired surrogates become U+FFFD.
std::string WideToUtf8(WStringView wide);

// One code point as UTF-8; NUL, surrogates and values past U+10FFFF become U+FFFD.
std::string CodePointToUtf8(char32_t codePoint);

// ASCII-only convenience for literals and protocol texts (bytes ≥ 0x80 become U+FFFD).
WString AsciiToWide(std::string_view ascii);

}  // namespace tarvo
