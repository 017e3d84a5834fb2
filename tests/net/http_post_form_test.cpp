#include "net/http_post_form.h"

#include <gtest/gtest.h>

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

TEST_F(HttpPostFormTest, PostsAnEncodedFormAndReadsTheEnvelope) {
  FormBody body;
  body.Add("username", u"li&lei").Add("password", u"p=ss+w\u00f6rd").Add("type", "PC");
  ServiceReply reply;
  ASSERT_EQ(CallService(u"app/v1.0/login", body, reply), 0);
  EXPECT_TRUE(reply.succeeded());
  EXPECT_EQ(ServiceReply::ReadString(reply.data(), "echo"), "username=li%26lei&password=p%3Dss%2Bw%C3%B6rd&type=PC");
  const ReceivedRequest request = server_.Requests().back();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.target, "/api/app/v1.0/login");
  EXPECT_NE(request.head.find("\r\nContent-Type: application/x-www-form-urlencoded"), std::string::npos);
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
