#include "net/form_body.h"

namespace tarvo {

std::string FormBody::Encode(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size() * 3);
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '*' ||
                       c == '-' || c == '.' || c == '_';
    if (plain) {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0f];
    }
  }
  return out;
}

FormBody& FormBody::Add(std::string_view name, std::string_view utf8Value) {
  if (!text_.empty()) {
    text_ += '&';
  }
  text_ += Encode(name);
  text_ += '=';
  text_ += Encode(utf8Value);
  return *this;
}

FormBody& FormBody::Add(std::string_view name, WStringView value) { return Add(name, WideToUtf8(value)); }

FormBody& FormBody::Add(std::string_view name, int64_t value) { return Add(name, std::to_string(value)); }

}  // namespace tarvo
