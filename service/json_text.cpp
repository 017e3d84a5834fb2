#include "json_text.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>

namespace tarvo::service {

std::string WriteCompactJson(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, value);
}

std::optional<Json::Value> ParseJson(std::string_view text) {
  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  builder["rejectDupKeys"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  try {
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
      return std::nullopt;
    }
  } catch (const Json::Exception&) {
    // The reader throws instead of failing on some texts (nesting past its depth
    // limit): a client's request body or a seed file must not end the service.
    return std::nullopt;
  }
  return value;
}

}  // namespace tarvo::service
