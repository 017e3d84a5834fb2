#pragma once

#include <json/value.h>

#include <string>
#include <string_view>

namespace tarvo::service {

// One reply envelope: {"code", "message", "data"}. A value object.
class ApiReply {
 public:
  // Success (code 200, message "success") carrying `data`.
  static ApiReply Ok(Json::Value data = Json::Value(Json::objectValue));
  // A failure with its code and a message for people reading logs; "data" is {}.
  static ApiReply Failure(int code, std::string message);
  // Success whose "data" is already written as JSON text (large replies that are
  // kept ready); data() is then null.
  static ApiReply OkWithDataText(std::string dataJson);
  // Code 400 naming a field that is missing, empty or not of the expected form.
  static ApiReply BadField(std::string_view name);

  int code() const { return code_; }
  const std::string& message() const { return message_; }
  const Json::Value& data() const { return data_; }

  // The compact UTF-8 JSON text, members in the order code, message, data (so a log
  // line can read the code from the first bytes). The text's byte count never
  // contains the digits "404": browser clients refuse any reply whose header text
  // contains them, and that includes Content-Length. Trailing blanks pad it instead.
  std::string ToJson() const;

 private:
  ApiReply(int code, std::string message, Json::Value data);

  int code_;
  std::string message_;
  Json::Value data_;
  std::string dataText_;  // when not empty, replaces data_ in ToJson
};

// Pads `text` with blanks until its length written in decimal has no "404" in it.
void AvoidLengthWithDigits404(std::string& text);

}  // namespace tarvo::service
