#include "net/http_post_form.h"

#include <gtest/gtest.h>

#include "net/form_body.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/loopback_http_server.h"

namespace tarvo::test {
namespace {

class HttpPostFormTest : public ::testing::Test {
 protected:
  void SetUp() override { SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, server_.WideUrl("/api/")); }
  void TearDown() override { SettingsRegistry::Instance().ClearForTesting(); }

  LoopbackHttpServer server_{[](const ReceivedRequest& request) {
    if (request.target == "/api/empty") return LoopbackHttpServer::Ok("");
    if (request.target == "/api/html") return LoopbackHttpServer::Ok("<html>proxy error</html>");
    if (request.target == "/api/forbidden") {
      return LoopbackHttpServer::Ok(R"({"code": 403, "message": "token expired"})");
    }
    return LoopbackHttpServer::Ok(R"({"code": 200, "message": "ok", "data": {"echo": ")" + request.body + "\"}}");
  }};
};

// What a form carries: every reserved byte encoded, the fields in their order. (That
// the service reads it so runs in the service's endpoint tests.)
TEST(FormBodyTest, KeepsFieldOrderAndEncodesEveryReservedByte) {
  FormBody body;
  body.Add("username", u"a&b=c").Add("password", u"p+ss wörd%").Add("type", "PC").Add("id", int64_t{-42});
  EXPECT_EQ(body.text(), "username=a%26b%3Dc&password=p%2Bss+w%C3%B6rd%25&type=PC&id=-42");
  EXPECT_EQ(body.Wide(), AsciiToWide(body.text()));

  // Base64 values and JSON documents survive the trip.
  EXPECT_EQ(FormBody::Encode("ab+/cd=="), "ab%2B%2Fcd%3D%3D");
  EXPECT_EQ(FormBody::Encode("[1,2]"), "%5B1%2C2%5D");
  EXPECT_EQ(FormBody::Encode("safe-._*AZaz09"), "safe-._*AZaz09");
  EXPECT_EQ(FormBody::Encode(std::string("\0\r\n", 3)), "%00%0D%0A");
  EXPECT_EQ(FormBody().text(), "");
}

TEST_F(HttpPostFormTest, EmptyOrUnparsableRepliesAndTransportFailuresAreMinusOne) {
  std::string text = "untouched";
  EXPECT_EQ(HttpPostForm(text, ServiceAddress(u"empty"), u"a=1"), -1);
  EXPECT_EQ(text, "untouched");
  EXPECT_EQ(HttpPostForm(text, ServiceAddress(u"html"), u"a=1"), 0);
  EXPECT_EQ(text, "<html>proxy error</html>");

  ServiceReply reply;
  EXPECT_EQ(CallService(u"empty", FormBody(), reply), -1);
  EXPECT_EQ(CallService(u"html", FormBody(), reply), -1);
  // Other codes reach the endpoint, which decides what they mean.
  ASSERT_EQ(CallService(u"forbidden", FormBody(), reply), 0);
  EXPECT_EQ(reply.code(), 403);
  EXPECT_EQ(reply.message(), "token expired");

  // Without its trailing "/" the base address glues the path onto the port.
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, AsciiToWide(server_.Url("")));
  EXPECT_EQ(CallService(u"app/v1.0/version", FormBody(), reply), -1);
}

}  // namespace
}  // namespace tarvo::test
