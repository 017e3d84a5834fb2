#include "api_reply.h"

#include "json_text.h"

namespace tarvo::service {

void AvoidLengthWithDigits404(std::string& text) {
  while (std::to_string(text.size()).find("404") != std::string::npos) {
    text.push_back(' ');
  }
}

ApiReply::ApiReply(int code, std::string message, Json::Value data)
    : code_(code), message_(std::move(message)), data_(std::move(data)) {}

ApiReply ApiReply::Ok(Json::Value data) { return ApiReply(200, "success", std::move(data)); }

ApiReply ApiReply::Failure(int code, std::string message) {
  return ApiReply(code, std::move(message), Json::Value(Json::objectValue));
}

ApiReply ApiReply::OkWithDataText(std::string dataJson) {
  ApiReply reply(200, "success", Json::Value());
  reply.dataText_ = std::move(dataJson);
  return reply;
}

ApiReply ApiReply::BadField(std::string_view name) {
  return Failure(400, "missing or invalid field: " + std::string(name));
}

std::string ApiReply::ToJson() const {
  std::string text = "{\"code\":" + std::to_string(code_) + ",\"message\":" + WriteCompactJson(Json::Value(message_)) +
                     ",\"data\":" + (dataText_.empty() ? WriteCompactJson(data_) : dataText_) + "}";
  AvoidLengthWithDigits404(text);
  return text;
}

}  // namespace tarvo::service
