#include "net/service_reply.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>

namespace tarvo {

namespace {

const Json::Value* Member(const Json::Value& object, std::string_view name) {
  if (!object.isObject()) {
    return nullptr;
  }
  return object.find(name.data(), name.data() + name.size());
}

}  // namespace

std::optional<ServiceReply> ServiceReply::Parse(std::string_view text) {
  try {
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    builder["failIfExtra"] = true;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors) || !root.isObject()) {
      return std::nullopt;
    }
    ServiceReply reply;
    reply.code_ = ReadInt(root, "code");
    reply.message_ = ReadString(root, "message");
    if (const Json::Value* data = Member(root, "data")) {
      reply.data_ = *data;
    }
    return reply;
  } catch (const std::exception&) {
    // JsonCpp throws on input nested deeper than its limit, among others.
    return std::nullopt;
  }
}

std::string ServiceReply::ReadString(const Json::Value& object, std::string_view name) {
  const Json::Value* value = Member(object, name);
  if (value == nullptr || value->isNull() || value->isArray() || value->isObject()) {
    return {};
  }
  return value->asString();
}

int64_t ServiceReply::ReadInt(const Json::Value& object, std::string_view name) {
  const Json::Value* value = Member(object, name);
  if (value == nullptr) {
    return 0;
  }
  if (value->isInt64()) {
    return value->asInt64();
  }
  if (value->isDouble()) {
    const double number = value->asDouble();
    constexpr double kLimit = 9.2e18;
    return std::isfinite(number) && std::fabs(number) < kLimit ? static_cast<int64_t>(number) : 0;
  }
  if (value->isString()) {
    const std::string text = value->asString();
    int64_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    return error == std::errc() && end == text.data() + text.size() ? parsed : 0;
  }
  if (value->isBool()) {
    return value->asBool() ? 1 : 0;
  }
  return 0;
}

bool ServiceReply::ReadBool(const Json::Value& object, std::string_view name) {
  const Json::Value* value = Member(object, name);
  if (value == nullptr) {
    return false;
  }
  if (value->isBool()) {
    return value->asBool();
  }
  if (value->isInt64() || value->isDouble()) {
    return value->asDouble() != 0.0;
  }
  if (value->isString()) {
    const std::string text = value->asString();
    return text == "true" || text == "1";
  }
  return false;
}

}  // namespace tarvo
