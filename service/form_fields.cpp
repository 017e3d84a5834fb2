#include "form_fields.h"

#include "net/hex_text.h"

namespace tarvo::service {

std::string FormFields::Decode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      decoded.push_back(' ');
    } else if (c == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2])));
      i += 2;
    } else {
      decoded.push_back(c);
    }
  }
  return decoded;
}

FormFields FormFields::Parse(std::string_view body) {
  FormFields form;
  form.body_ = std::string(body);
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string_view::npos) {
      end = body.size();
    }
    const std::string_view pair = body.substr(start, end - start);
    if (!pair.empty()) {
      const size_t equals = pair.find('=');
      if (equals == std::string_view::npos) {
        form.fields_.emplace_back(Decode(pair), std::string());
      } else {
        form.fields_.emplace_back(Decode(pair.substr(0, equals)), Decode(pair.substr(equals + 1)));
      }
    }
    start = end + 1;
  }
  return form;
}

std::optional<std::string> FormFields::Get(std::string_view name) const {
  for (const auto& [fieldName, value] : fields_) {
    if (fieldName == name) {
      return value;
    }
  }
  return std::nullopt;
}

std::optional<std::string> FormFields::RawTail(std::string_view name) const {
  const std::string prefix = std::string(name) + "=";
  size_t start = 0;
  while (start <= body_.size()) {
    if (body_.compare(start, prefix.size(), prefix) == 0) {
      return body_.substr(start + prefix.size());
    }
    const size_t next = body_.find('&', start);
    if (next == std::string::npos) {
      break;
    }
    start = next + 1;
  }
  return std::nullopt;
}

}  // namespace tarvo::service
