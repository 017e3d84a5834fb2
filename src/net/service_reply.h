#pragma once

#include <json/json.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// The envelope of every service reply: a JSON object with "code" (200 = success),
// "message" (for diagnostics) and "data". Members that are missing or of an unusable
// type read as empty text, 0 or false. A value type; any thread.
class ServiceReply {
 public:
  static constexpr int kSuccess = 200;

  // Parses a reply (comments allowed). Nothing when the text is not a JSON object,
  // carries trailing garbage, or makes the JSON reader fail or throw in any way.
  static std::optional<ServiceReply> Parse(std::string_view text);

  int64_t code() const { return code_; }
  bool succeeded() const { return code_ == kSuccess; }
  const std::string& message() const { return message_; }
  // The "data" member (null when missing).
  const Json::Value& data() const { return data_; }

  // Readers of one member of an object that never throw: a missing member, a
  // non-object `object` or an unusable type give "", 0 or false. Integers accept
  // JSON integers, integral floating-point values in range and decimal texts.
  static std::string ReadString(const Json::Value& object, std::string_view name);
  static int64_t ReadInt(const Json::Value& object, std::string_view name);
  static bool ReadBool(const Json::Value& object, std::string_view name);

 private:
  int64_t code_ = 0;
  std::string message_;
  Json::Value data_;
};

}  // namespace tarvo
