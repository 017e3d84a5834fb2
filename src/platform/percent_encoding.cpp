#include "platform/percent_encoding.h"

namespace tarvo {

namespace {

bool StaysUnencoded(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
         byte == ':' || byte == '/' || byte == '.' || byte == '(' || byte == ')' || byte == '_';
}

}  // namespace

std::string PercentEncodeUtf8(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (StaysUnencoded(byte)) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

}  // namespace tarvo
