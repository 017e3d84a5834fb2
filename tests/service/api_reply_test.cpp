#include <gtest/gtest.h>

#include "service/api_reply.h"
#include "service/form_fields.h"
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

TEST(FormFields, DecodesEncodedAndLeavesBrokenEscapesAlone) {
  const FormFields form = FormFields::Parse("name=a%26b%3Dc+d&utf=%E4%BD%A0&odd=50%&bad=%zz&empty=&flag");
  EXPECT_EQ(form.Get("name"), "a&b=c d");
  EXPECT_EQ(form.Get("utf"), "你");
  EXPECT_EQ(form.Get("odd"), "50%");
  EXPECT_EQ(form.Get("bad"), "%zz");
  EXPECT_EQ(form.Get("empty"), "");
  EXPECT_EQ(form.Get("flag"), "");
  EXPECT_EQ(form.Get("missing"), std::nullopt);
  // The first occurrence wins, and values may hold "=".
  const FormFields repeated = FormFields::Parse("a=1&a=2&b==x=");
  EXPECT_EQ(repeated.Get("a"), "1");
  EXPECT_EQ(repeated.Get("b"), "=x=");
}

TEST(FormFields, RawTailRecoversAnUnencodedLastValue) {
  const FormFields form = FormFields::Parse(R"(token=t&brand=B&data={"url":"http://x/?a=1&b=2"})");
  EXPECT_EQ(form.Get("data"), R"({"url":"http://x/?a=1)");
  EXPECT_EQ(form.RawTail("data"), R"({"url":"http://x/?a=1&b=2"})");
  EXPECT_EQ(FormFields::Parse("xdata=1&data=2").RawTail("data"), "2") << "only whole field names match";
  EXPECT_EQ(FormFields::Parse("a=1").RawTail("data"), std::nullopt);
}

}  // namespace
}  // namespace tarvo::service
