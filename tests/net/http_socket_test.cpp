// What only the plain-socket client does: the request it sends, connection reuse, its
// time and size bounds, framing it refuses and its refusal of TLS addresses.
#include "net/http_socket.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "support/loopback_http_server.h"
#include "net/socket_request_header.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

std::optional<std::string> ToMem(CHttpSocket& client, const std::string& url) {
  uint8_t* buffer = nullptr;
  uint32_t length = 0;
  if (!client.DownloadToMem(Utf8ToWide(url), &buffer, &length)) return std::nullopt;
  std::string body(reinterpret_cast<char*>(buffer), length);
  std::free(buffer);
  return body;
}

TEST(SocketRequestHeaderTest, BuildsTheRequestTextAndRefusesWhatDoesNotFit) {
  SocketRequestHeader record;
  ASSERT_TRUE(record.Fill("host.test", "/a?b"));
  EXPECT_EQ(record.ToText(),
            "GET /a?b HTTP/1.1\r\nAccept: */*\r\nHost: host.test\r\nConnection: Keep-Alive\r\n\r\n");
  std::strcpy(record.rangeStart, "100");
  EXPECT_NE(record.ToText().find("\r\nRange: bytes=100-\r\nConnection"), std::string::npos);

  // A cut host or path would ask for some other resource.
  EXPECT_TRUE(record.Fill(std::string(29, 'h'), "/"));
  EXPECT_FALSE(record.Fill(std::string(30, 'h'), "/"));
  EXPECT_TRUE(record.Fill("h", "/" + std::string(258, 'p')));
  EXPECT_FALSE(record.Fill("h", "/" + std::string(259, 'p')));
}

TEST(HttpSocketTest, RelativeRedirectsReuseTheConnectionAbsoluteOnesOpenANewOne) {
  LoopbackHttpServer other([](const ReceivedRequest&) { return LoopbackHttpServer::Ok("other"); });
  const std::string otherUrl = other.Url("/x");
  LoopbackHttpServer server([&otherUrl](const ReceivedRequest& request) {
    const auto moved = [](const std::string& to) {
      return ScriptedReply{"HTTP/1.1 302 Found\r\nLocation: " + to + "\r\nContent-Length: 0\r\n\r\n"};
    };
    if (request.target == "/relative") {
      return ScriptedReply{"HTTP/1.1 307 Temporary\r\nlocation: next\r\nContent-Length: 7\r\n\r\n", "go next"};
    }
    if (request.target == "/chunkedmove") {
      return ScriptedReply{"HTTP/1.1 302 Found\r\nLocation: /next\r\nTransfer-Encoding: chunked\r\n\r\n",
                           "3\r\nabc\r\n0\r\n\r\n"};
    }
    if (request.target == "/absolute") return moved(otherUrl);
    if (request.target == "/tls") return moved("https://127.0.0.1:1/");
    return LoopbackHttpServer::Ok("arrived");
  });
  CHttpSocket client;
  EXPECT_EQ(ToMem(client, server.Url("/relative")), "arrived");
  EXPECT_EQ(server.Requests()[0].head, "GET /relative HTTP/1.1\r\nAccept: */*\r\nHost: 127.0.0.1\r\nConnection: Keep-Alive");
  EXPECT_EQ(ToMem(client, server.Url("/chunkedmove")), "arrived");
  // Redirect bodies were skipped, so every request shared one connection.
  EXPECT_EQ(server.connections(), 1);
  EXPECT_EQ(server.Requests().back().target, "/next");

  EXPECT_EQ(ToMem(client, server.Url("/absolute")), "other");
  EXPECT_EQ(other.connections(), 1);

  // A redirect to TLS is refused rather than followed in plain text.
  EXPECT_FALSE(ToMem(client, server.Url("/tls")));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorConnect);
}

TEST(HttpSocketTest, RefusesTlsAddressesAndHostsThatDoNotFit) {
  LoopbackHttpServer server([](const ReceivedRequest&) { return LoopbackHttpServer::Ok("x"); });
  CHttpSocket client;
  EXPECT_FALSE(ToMem(client, "https://127.0.0.1:" + std::to_string(server.port()) + "/"));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorConnect);
  EXPECT_EQ(server.connections(), 0);

  EXPECT_FALSE(ToMem(client, "http://" + std::string(40, 'h') + ".test/"));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorSend);
}

TEST(HttpSocketTest, InMemoryDownloadsNeedALengthFromOneByteTo8MiB) {
  constexpr uint64_t kLimit = TransferLimits::ForSocketClient().maxTextBytes;
  static_assert(kLimit == 8 * 1024 * 1024);
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    const uint64_t size = std::stoull(request.target.substr(1));
    return ScriptedReply{.head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n",
                         .generatedBytes = size > kLimit ? 0 : size, .close = size > kLimit};
  });
  CHttpSocket client;
  const std::optional<std::string> full = ToMem(client, server.Url("/" + std::to_string(kLimit)));
  ASSERT_TRUE(full) << client.GetErrorCode();
  EXPECT_EQ(full->size(), kLimit);
  EXPECT_EQ((*full)[kLimit - 1], LoopbackHttpServer::PatternByte(kLimit - 1));

  EXPECT_FALSE(ToMem(client, server.Url("/" + std::to_string(kLimit + 1))));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorBadLength);
  EXPECT_FALSE(ToMem(client, server.Url("/0")));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorBadLength);
}

TEST(HttpSocketTest, ABodyLongerThanAnnouncedOrALengthWithChunkedCodingIsRefused) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    if (request.target == "/longer") return ScriptedReply{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n", "fourfive"};
    // 20 bytes of framing, 5 of body.
    return ScriptedReply{"HTTP/1.1 200 OK\r\nContent-Length: 20\r\nTransfer-Encoding: chunked\r\n\r\n",
                         "5\r\nshort\r\n0\r\n\r\n"};
  });
  CHttpSocket longer;
  EXPECT_FALSE(ToMem(longer, server.Url("/longer")));
  EXPECT_EQ(longer.GetErrorCode(), kHttpErrorReadBody);
  TempDir dir;
  CHttpSocket client;
  EXPECT_FALSE(ToMem(client, server.Url("/both")));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorHeader);
  EXPECT_FALSE(client.DownloadFile(server.WideUrl("/both"), Utf8ToWide((dir.path() / "f").string())));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorHeader);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "f"));
}

TEST(HttpSocketTest, BoundsTheWholeRequestInTimeAndTheBodiesInSize) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    ScriptedReply reply = LoopbackHttpServer::Ok("late");
    if (request.target == "/slowhead") {
      reply.delayMs = 1500;
    } else if (request.target == "/slowbody") {
      reply.pauseAfterHeadMs = 1500;
    } else if (request.target == "/chunked") {
      reply = {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "6\r\n123456\r\n0\r\n\r\n"};
    } else {
      reply = LoopbackHttpServer::Ok(request.target.substr(1));
    }
    return reply;
  });
  TempDir dir;
  const std::filesystem::path file = dir.path() / "download";
  CHttpSocket client;
  TransferLimits limits;
  limits.requestTotalMs = 500;  // each single wait (stallMs) is far longer
  limits.maxTextBytes = 5;
  limits.maxDownloadBytes = 5;
  client.SetLimits(limits);
  const auto toFile = [&](const std::string& path) {
    return client.DownloadFile(server.WideUrl(path), Utf8ToWide(file.string()));
  };

  // Time: everything up to the head, and an in-memory download as a whole; a file's
  // body only by the stall bound.
  EXPECT_FALSE(ToMem(client, server.Url("/slowhead")));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorSocket);
  EXPECT_FALSE(ToMem(client, server.Url("/slowbody")));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorSocket);
  EXPECT_FALSE(toFile("/slowhead"));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorSocket);
  EXPECT_TRUE(toFile("/slowbody")) << client.GetErrorCode();

  // Size: announced or counted.
  EXPECT_EQ(ToMem(client, server.Url("/12345")), "12345");
  EXPECT_FALSE(ToMem(client, server.Url("/123456")));
  EXPECT_EQ(client.GetErrorCode(), kHttpErrorBadLength);
  EXPECT_TRUE(toFile("/12345")) << client.GetErrorCode();
  std::filesystem::remove(file);
  for (const char* path : {"/123456", "/chunked"}) {
    EXPECT_FALSE(toFile(path)) << path;
    EXPECT_EQ(client.GetErrorCode(), kHttpErrorReadBody) << path;
    EXPECT_FALSE(std::filesystem::exists(file)) << path;
  }
}

}  // namespace
}  // namespace tarvo::test
