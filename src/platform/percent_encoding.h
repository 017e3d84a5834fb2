#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// Percent-encodes UTF-8 bytes for use in a URL: letters, digits and the characters
// ":", "/", ".", "(", ")" and "_" stay as they are; every other byte becomes "%"
// and two upper-case hexadecimal digits.
std::string PercentEncodeUtf8(std::string_view utf8);

}  // namespace tarvo
