#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/text.h"

namespace tarvo {

// One value bound to a "?" parameter of a statement: NULL, a 64-bit integer or text.
// Wide text is converted to UTF-8 here, the database's encoding. Values are bound,
// never spliced into statement text, so any bytes in them are stored exactly.
class SqlValue {
 public:
  using Storage = std::variant<std::monostate, int64_t, std::string>;

  SqlValue(std::nullptr_t) {}
  SqlValue(int value) : storage_(static_cast<int64_t>(value)) {}
  SqlValue(int64_t value) : storage_(value) {}
  SqlValue(std::string_view utf8) : storage_(std::string(utf8)) {}
  SqlValue(const char* utf8) : storage_(std::string(utf8)) {}
  SqlValue(const std::string& utf8) : storage_(utf8) {}
  SqlValue(WStringView wide) : storage_(WideToUtf8(wide)) {}
  SqlValue(const WString& wide) : storage_(WideToUtf8(wide)) {}

  const Storage& storage() const { return storage_; }

 private:
  Storage storage_;
};

// The values of a statement's parameters, in order (?1, ?2, ...).
using SqlArgs = std::vector<SqlValue>;

}  // namespace tarvo
