#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo::service {

// The fields of an application/x-www-form-urlencoded request body.
//
// Decoding is the standard one ("+" is a space, "%XX" a byte), which also reads the
// bodies that browser builds send without any encoding: a "%" that does not start a
// valid escape stays as it is. A value object: build it on the request thread.
class FormFields {
 public:
  // Splits `body` at "&" and each pair at its first "="; a pair without "=" is a name
  // with an empty value. Never fails.
  static FormFields Parse(std::string_view body);

  // The decoded value of the first field called `name`, or nullopt when absent.
  std::optional<std::string> Get(std::string_view name) const;

  // Everything after the first "name=" that starts a field, undecoded, up to the end
  // of the body. Browsers that do not encode their bodies split a value containing
  // "&" into several fields; for a value that is known to come last this recovers it.
  std::optional<std::string> RawTail(std::string_view name) const;

  // Decodes one percent-encoded text.
  static std::string Decode(std::string_view text);

 private:
  std::string body_;
  std::vector<std::pair<std::string, std::string>> fields_;
};

}  // namespace tarvo::service
