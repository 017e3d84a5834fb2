#include "service/api_reply.h"

#include <gtest/gtest.h>

#include "service/json_text.h"

namespace tarvo::service {
namespace {

TEST(ApiReply, EnvelopeStartsWithTheCodeAndEscapesTexts) {
  Json::Value data(Json::objectValue);
  data["name"] = "quote \" and 你";
  const std::string text = ApiReply::Ok(data).ToJson();
  EXPECT_EQ(text.rfind("{\"code\":200,\"message\":\"success\",\"data\":", 0), 0u);
  const auto parsed = ParseJson(text);
  ASSERT_TRUE(parsed);
  EXPECT_EQ((*parsed)["data"]["name"].asString(), "quote \" and 你");
  EXPECT_EQ(ApiReply::Failure(421, "none left").ToJson(), R"({"code":421,"message":"none left","data":{}})");
}

TEST(ApiReply, LengthNeverContainsTheDigits404) {
  // Replies whose Content-Length reads 404, 1404 or 4040 would be taken for "not found"
  // by browser clients that search the header text.
  for (size_t length = 380; length < 4100; ++length) {
    const std::string message(length - std::string(R"({"code":200,"message":"","data":{}})").size(), 'm');
    const std::string text = ApiReply::Failure(200, message).ToJson();
    ASSERT_EQ(std::to_string(text.size()).find("404"), std::string::npos) << length;
    ASSERT_TRUE(ParseJson(text)) << length;
  }
}

}  // namespace
}  // namespace tarvo::service
