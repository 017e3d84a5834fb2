#include "net/service_reply.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace tarvo {
namespace {

TEST(ServiceReplyTest, ReadsTheEnvelope) {
  const auto reply = ServiceReply::Parse(R"({"code": 200, "message": "ok", // a comment
      "data": {"id": 7, "token": "t", "select_permission": true, "ip": 12}})");
  ASSERT_TRUE(reply);
  EXPECT_TRUE(reply->succeeded());
  EXPECT_EQ(reply->message(), "ok");
  EXPECT_EQ(ServiceReply::ReadInt(reply->data(), "id"), 7);
  EXPECT_EQ(ServiceReply::ReadString(reply->data(), "token"), "t");
  EXPECT_TRUE(ServiceReply::ReadBool(reply->data(), "select_permission"));
  EXPECT_EQ(ServiceReply::ReadString(reply->data(), "ip"), "12");
}

TEST(ServiceReplyTest, MissingOrMistypedMembersReadAsEmptyZeroFalse) {
  const auto bare = ServiceReply::Parse(R"({"code": 200})");
  ASSERT_TRUE(bare);
  EXPECT_TRUE(bare->succeeded());
  EXPECT_TRUE(bare->data().isNull());
  EXPECT_EQ(ServiceReply::ReadString(bare->data(), "token"), "");
  EXPECT_EQ(ServiceReply::ReadInt(bare->data(), "id"), 0);
  EXPECT_FALSE(ServiceReply::ReadBool(bare->data(), "flag"));

  const auto odd = ServiceReply::Parse(
      R"({"code": "200", "message": ["x"], "data": {"id": "12", "big": 1e300, "neg": -3.9, "obj": {},
          "flag": "true", "n": null, "huge": 18446744073709551615}})");
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->code(), 200);
  EXPECT_EQ(odd->message(), "");
  const Json::Value& data = odd->data();
  for (const auto& [member, value] : {std::pair{"id", 12}, {"big", 0}, {"neg", -3}, {"huge", 0}}) {
    EXPECT_EQ(ServiceReply::ReadInt(data, member), value) << member;
  }
  for (const char* member : {"obj", "n"}) EXPECT_EQ(ServiceReply::ReadString(data, member), "") << member;
  EXPECT_TRUE(ServiceReply::ReadBool(data, "flag"));
  // Reading members of something that is not an object never throws.
  EXPECT_EQ(ServiceReply::ReadInt(Json::Value(Json::arrayValue), "id"), 0);
  EXPECT_EQ(ServiceReply::ReadString(Json::Value("text"), "id"), "");
}

TEST(ServiceReplyTest, AnythingButAJsonObjectIsUnparsable) {
  for (const std::string& text : std::vector<std::string>{"", " ", "[]", "200", "\"code\"", "null", "{\"code\": 200", "{\"code\": 200} x",
                                 "{\"code\": 200}{}", std::string(100000, '[') + std::string(100000, ']'),
                                 std::string("{\"code\":\0 200}", 14)}) {
    EXPECT_FALSE(ServiceReply::Parse(text)) << text.substr(0, 40);
  }
  EXPECT_TRUE(ServiceReply::Parse("{\"code\": 200}\r\n"));
}

// Every case of the shared JSON corpus: y_ cases must parse as JSON (an object among
// them gives a reply), n_ cases must not give a reply, and nothing may crash or throw.
TEST(ServiceReplyTest, SurvivesTheJsonCorpus) {
  const char* root = std::getenv("TARVO_TEST_DATA");
  ASSERT_NE(root, nullptr);
  const std::filesystem::path folder = std::filesystem::path(root) / "json_cases";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no JSON corpus at " << folder;
  int cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".json") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::optional<ServiceReply> reply;
    EXPECT_NO_THROW(reply = ServiceReply::Parse(text.str())) << name;
    if (name.starts_with("n_")) {
      EXPECT_FALSE(reply) << name;
    }
    if (reply) {
      // Every reader stays safe on whatever the corpus holds.
      static_cast<void>(ServiceReply::ReadString(reply->data(), "x"));
      static_cast<void>(ServiceReply::ReadInt(reply->data(), "x"));
    }
    ++cases;
  }
  EXPECT_GT(cases, 0);
}

}  // namespace
}  // namespace tarvo
