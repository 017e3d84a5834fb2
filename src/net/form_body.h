#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace tarvo {

// Builds the body of a service request: name=value pairs joined by "&" in the order
// they are added, each name and value encoded as application/x-www-form-urlencoded
// (UTF-8, space as "+", other reserved bytes as %XX), so "&", "=", "+" and non-ASCII
// text in passwords, tokens, base64 values or titles arrive intact. A value type; any
// thread.
class FormBody {
 public:
  FormBody& Add(std::string_view name, WStringView value);
  FormBody& Add(std::string_view name, std::string_view utf8Value);
  FormBody& Add(std::string_view name, int64_t value);

  // The encoded body (ASCII only).
  const std::string& text() const { return text_; }
  WString Wide() const { return AsciiToWide(text_); }

  // The form encoding of one UTF-8 text.
  static std::string Encode(std::string_view utf8);

 private:
  std::string text_;
};

}  // namespace tarvo
