// The library's client factory, and the text requests of the two libcurl clients, their
// bounds and TLS.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>

#include "net/http_factory.h"
#include "net/i_win_http.h"
#include "net/tls_test_server.h"
#include "net/wininet_http.h"
#include "support/loopback_http_server.h"

namespace tarvo::test {
namespace {

class CurlClientsTest : public ::testing::TestWithParam<HttpClientKind> {
 protected:
  void SetUp() override {
    IHttpBase* client = nullptr;
    ASSERT_TRUE(CreateInstance(&client, GetParam()));
    client_.reset(static_cast<IWininetHttp*>(client));
  }
  bool isWininet() const { return GetParam() == kHttpClientWininet; }

  HttpClientPtr<IWininetHttp> client_;
};

ScriptedReply Echo(const ReceivedRequest& request) {
  return LoopbackHttpServer::Ok(request.method + "|" + request.body);
}

TEST_P(CurlClientsTest, PostSendsBodyAndHeadersGetSendsNoBody) {
  LoopbackHttpServer server(Echo);
  const std::string body = "a=1&b=" + std::string(3000, 'x');
  EXPECT_EQ(client_->Request(server.WideUrl("/post"), kHttpPost, body.c_str(),
                             u"Content-Type: application/x-www-form-urlencoded"),
            "POST|" + body);
  const ReceivedRequest request = server.Requests().back();
  EXPECT_NE(request.head.find("\r\nContent-Type: application/x-www-form-urlencoded"), std::string::npos);
  EXPECT_NE(request.head.find(isWininet() ? "User-Agent: Http-connect" : "User-Agent: Microsoft Internet Explorer"),
            std::string::npos);
  // No compressed encoding is asked for, so no body can be inflated past its size;
  // and no "Expect: 100-continue" wait on larger posts.
  EXPECT_EQ(request.head.find("Accept-Encoding"), std::string::npos);
  EXPECT_EQ(request.head.find("Expect"), std::string::npos);

  EXPECT_EQ(client_->Request(server.Url("/get"), kHttpGet, "ignored=1", nullptr), "GET|");
  EXPECT_EQ(server.Requests().back().body, "");
  EXPECT_EQ(client_->GetErrorCode(), kHttpErrorNone);
}

TEST_P(CurlClientsTest, FailedRequestsReturnEmptyTextWithTheirCode) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    if (request.target == "/missing") {
      return ScriptedReply{"HTTP/1.1 404 Not Found\r\nContent-Length: 14\r\n\r\n", "{\"code\": 404}\n"};
    }
    return ScriptedReply{.head = "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n", .body = "{\"code\": 200, \"da",
                         .close = true};
  });
  EXPECT_EQ(client_->Request(u"", kHttpPost, "", nullptr), "");
  EXPECT_EQ(client_->GetErrorCode(), kHttpErrorEmptyRequestUrl);

  // A reply cut short is not handed on as if it were whole.
  EXPECT_EQ(client_->Request(server.WideUrl("/cut"), kHttpPost, "", nullptr), "");
  EXPECT_EQ(client_->GetErrorCode(), kHttpErrorReadBody);

  // The text client treats a 404 as not found; the download client returns the text.
  const std::string missing = client_->Request(server.WideUrl("/missing"), kHttpPost, "", nullptr);
  EXPECT_EQ(missing, isWininet() ? "" : "{\"code\": 404}\n");
  EXPECT_EQ(client_->GetErrorCode(), isWininet() ? kHttpErrorNotFound : kHttpErrorNone);
}

TEST_P(CurlClientsTest, CompressedBodiesAreHandedOverAsSent) {
  const std::string raw = std::string("\x1f\x8b\x08\x00", 4) + "not really gzip";
  LoopbackHttpServer server([&raw](const ReceivedRequest&) {
    return LoopbackHttpServer::Ok(raw, "Content-Encoding: gzip\r\n");
  });
  EXPECT_EQ(client_->Request(server.WideUrl("/"), kHttpGet, nullptr, nullptr), raw);
}

TEST_P(CurlClientsTest, TlsToAServerOfAnUntrustedAuthorityIsRefused) {
  TlsTestServer server;
  const std::string url = "https://127.0.0.1:" + std::to_string(server.port()) + "/";
  EXPECT_EQ(client_->Request(url, kHttpGet, nullptr, nullptr), "");
  EXPECT_EQ(client_->GetErrorCode(), kHttpErrorConnect);
  server.Wait();
  EXPECT_TRUE(server.sawClientHello());
  EXPECT_FALSE(server.handshakeCompleted());
}

TEST_P(CurlClientsTest, RequestsDoNotWaitForeverOnAStalledServer) {
  // The server stalls after the head; the text client bounds the request as a whole.
  LoopbackHttpServer server([](const ReceivedRequest&) {
    return ScriptedReply{
        .head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n", .body = "0123456789", .pauseAfterHeadMs = 3000};
  });
  if (auto* wininet = dynamic_cast<CWininetHttp*>(client_.get())) {
    wininet->SetLimits(TransferLimits{1000, 1500, 10000});
  } else {
    // The download client's own time-outs bound each wait for data.
    static_cast<IWinHttp*>(client_.get())->SetTimeOut(1000, 1000, 1000);
  }
  EXPECT_EQ(client_->Request(server.WideUrl("/"), kHttpGet, nullptr, nullptr), "");
  EXPECT_EQ(client_->GetErrorCode(), kHttpErrorReadBody);
}

TEST(CurlTextClientTest, RepliesAboveTheSizeBoundAreRefusedWithOrWithoutALength) {
  for (const bool announced : {true, false}) {
    SCOPED_TRACE(announced ? "Content-Length" : "chunked");
    LoopbackHttpServer server([announced](const ReceivedRequest&) {
      return announced ? ScriptedReply{"HTTP/1.1 200 OK\r\nContent-Length: 4096\r\n\r\n", std::string(4096, 'a')}
                       : ScriptedReply{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                                       "1000\r\n" + std::string(4096, 'a') + "\r\n0\r\n\r\n"};
    });
    CWininetHttp client;
    client.SetLimits(TransferLimits{5000, 10000, 10000, 1024});
    EXPECT_EQ(client.Request(server.WideUrl("/"), kHttpGet, nullptr, nullptr), "");
    EXPECT_EQ(client.GetErrorCode(), kHttpErrorReadBody);
  }
}

INSTANTIATE_TEST_SUITE_P(CurlKinds, CurlClientsTest, ::testing::Values(kHttpClientWininet, kHttpClientWinHttp),
                         [](const auto& info) { return info.param == kHttpClientWininet ? "Wininet" : "WinHttp"; });

TEST(HttpFactoryTest, TheSharedLibraryExportsAWorkingFactory) {
  // Tests run with the build's bin/ folder as working directory.
  void* library = dlopen((std::filesystem::current_path() / "libtarvo_http.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using Factory = bool (*)(IHttpBase**, int32_t);
  const auto create = reinterpret_cast<Factory>(dlsym(library, "CreateInstance"));
  ASSERT_NE(create, nullptr);

  // A kind it does not know leaves no dangling client behind.
  for (const int32_t unknown : {3, -1}) {
    IHttpBase* client = reinterpret_cast<IHttpBase*>(0x1);
    EXPECT_FALSE(create(&client, unknown));
    EXPECT_EQ(client, nullptr);
  }
  EXPECT_FALSE(create(nullptr, 0));
  IHttpBase* client = nullptr;

  LoopbackHttpServer server([](const ReceivedRequest&) { return LoopbackHttpServer::Ok("from the library"); });
  ASSERT_TRUE(create(&client, 1));
  EXPECT_EQ(static_cast<IWininetHttp*>(client)->Request(server.WideUrl("/"), kHttpGet, nullptr, nullptr),
            "from the library");
  client->FreeInstance();
  dlclose(library);
}

}  // namespace
}  // namespace tarvo::test
