// Download behaviour every client kind shares, against a loopback server that answers
// wrongly on purpose.
#include <gtest/gtest.h>

#include <fstream>

#include "net/http_client_fixture.h"
#include "support/loopback_http_server.h"

namespace tarvo::test {
namespace {

using Reply = ScriptedReply;
const std::string kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

class HttpClientsTest : public HttpClientFixture {
 protected:
  // The expected value for the kind under test.
  template <class T>
  T For(T socket, T wininet, T winHttp) const {
    return kind() == kHttpClientSocket ? socket : kind() == kHttpClientWininet ? wininet : winHttp;
  }
};

TEST_P(HttpClientsTest, DownloadsBodiesOfEveryFraming) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    if (request.target == "/length") return LoopbackHttpServer::Ok("exact body");
    if (request.target == "/chunked") return Reply{kChunked, "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n"};
    return Reply{.head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", .body = "until the end", .close = true};
  });

  ASSERT_TRUE(ToFile(server.Url("/length"))) << error();
  EXPECT_EQ(FileContent(), "exact body");
  EXPECT_EQ(error(), kHttpErrorNone);
  // A body within the first block completes with done equal to the announced length.
  ASSERT_FALSE(callback_.reports.empty());
  EXPECT_EQ(callback_.reports.back(), std::make_tuple(IHttpCallback::kStateComplete, 10.0, 10.0));
  EXPECT_EQ(callback_.contexts.back(), 77u);

  ASSERT_TRUE(ToFile(server.Url("/chunked"))) << error();
  EXPECT_EQ(FileContent(), "hello world");
  ASSERT_TRUE(ToFile(server.Url("/close"))) << error();
  EXPECT_EQ(FileContent(), "until the end");

  EXPECT_EQ(ToMem(server.Url("/length")), "exact body");
  // In memory, the socket client sizes its buffer from Content-Length (error 12 without
  // one) and so does the download client (error 4); the text client grows its buffer.
  EXPECT_EQ(ToMem(server.Url("/chunked")), For<std::optional<std::string>>(std::nullopt, "hello world", std::nullopt));
  EXPECT_EQ(error(), For(kHttpErrorBadLength, kHttpErrorNone, kHttpErrorHeader));
  EXPECT_EQ(ToMem(server.Url("/close")),
            For<std::optional<std::string>>(std::nullopt, "until the end", std::nullopt));
}

TEST_P(HttpClientsTest, LargeBodiesArriveWholeAcrossManyBlocks) {
  constexpr uint64_t kSize = 20 * 1024 * 1024 + 17;
  LoopbackHttpServer server([](const ReceivedRequest&) {
    return Reply{.head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kSize) + "\r\n\r\n",
                 .generatedBytes = kSize};
  });
  ASSERT_TRUE(ToFile(server.Url("/big"))) << error();
  const std::string content = FileContent();
  ASSERT_EQ(content.size(), kSize);
  for (uint64_t i = 0; i < kSize; i += 4093) ASSERT_EQ(content[i], LoopbackHttpServer::PatternByte(i)) << i;
  const auto& last = callback_.reports.back();
  EXPECT_EQ(std::get<0>(last), IHttpCallback::kStateComplete);
  EXPECT_EQ(std::get<2>(last), static_cast<double>(kSize));
  for (size_t i = 1; i < callback_.reports.size(); ++i) {
    EXPECT_GE(std::get<2>(callback_.reports[i]), std::get<2>(callback_.reports[i - 1]));
  }
}

TEST_P(HttpClientsTest, BrokenBodiesFailAndLeaveNoFile) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    if (request.target == "/short") {
      return Reply{.head = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", .body = "only a part", .close = true};
    }
    // /cutchunked: the connection ends before the last chunk.
    return Reply{.head = kChunked, .body = request.target == "/badchunk" ? "5\r\nhello\r\nXYZ\r\n" : "5\r\nhello\r\n",
                 .close = true};
  });
  for (const char* path : {"/short", "/badchunk", "/cutchunked"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ToFile(server.Url(path)));
    EXPECT_EQ(error(), kHttpErrorReadBody);
    EXPECT_FALSE(FileExists());
  }
  EXPECT_FALSE(ToMem(server.Url("/short")));
  EXPECT_EQ(error(), kHttpErrorReadBody);
}

TEST_P(HttpClientsTest, BrokenHeadsFailWithAHeaderError) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    Reply reply;
    if (request.target == "/cut") {
      reply.head = "HTTP/1.1 200 OK\r\nContent-Le";
    } else if (request.target == "/huge") {
      reply.head = "HTTP/1.1 200 OK\r\n";
      for (int i = 0; i < 1200; ++i) reply.head += "X-Filler-" + std::to_string(i) + ": " + std::string(60, 'f') + "\r\n";
      reply = {reply.head + "Content-Length: 2\r\n\r\n", "ok"};
    } else if (request.target == "/twolengths") {
      reply = {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 4\r\n\r\n", "okok"};
    } else if (request.target == "/nul") {
      reply = {std::string("HTTP/1.1 200 OK\r\nX-Note: cut") + '\0' + "here\r\nContent-Length: 2\r\n\r\n", "ok"};
    } else {
      reply.head = "garbage that is no status line\r\n\r\n";
    }
    reply.close = true;
    return reply;
  });
  for (const char* path : {"/cut", "/huge", "/twolengths", "/nul", "/garbage"}) {
    EXPECT_FALSE(ToFile(server.Url(path))) << path;
    EXPECT_EQ(error(), kHttpErrorHeader) << path;
    EXPECT_FALSE(FileExists()) << path;
  }
  // The socket client's in-memory download names a missing end of head separately.
  EXPECT_FALSE(ToMem(server.Url("/cut")));
  EXPECT_EQ(error(), For(kHttpErrorNoHeaderEnd, kHttpErrorHeader, kHttpErrorHeader));
}

TEST_P(HttpClientsTest, ErrorAnswersAreNotFoundAndKeepAnExistingFile) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    if (request.target == "/missing") return Reply{"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\n", "not here!"};
    if (request.target == "/broken") return Reply{"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\n\r\n", "oops"};
    // "404" inside other fields says nothing about the answer.
    return LoopbackHttpServer::Ok(std::string(1404, 'z'), "ETag: \"a404b\"\r\nX-Note: 404\r\n");
  });
  std::ofstream(target_) << "previous content";
  for (const char* path : {"/missing", "/broken"}) {
    EXPECT_FALSE(ToFile(server.Url(path))) << path;
    EXPECT_EQ(error(), kHttpErrorNotFound) << path;
    EXPECT_EQ(FileContent(), "previous content") << path;
  }
  EXPECT_FALSE(ToMem(server.Url("/missing")));
  EXPECT_EQ(error(), kHttpErrorNotFound);

  ASSERT_TRUE(ToFile(server.Url("/mentions404"))) << error();
  EXPECT_EQ(FileContent().size(), 1404u);
}

TEST_P(HttpClientsTest, FollowsRedirectsAndStopsLoops) {
  LoopbackHttpServer target([](const ReceivedRequest&) { return LoopbackHttpServer::Ok("moved here"); });
  const std::string elsewhere = target.Url("/final");
  LoopbackHttpServer server([&elsewhere](const ReceivedRequest& request) {
    if (request.target == "/relative") {
      return Reply{"HTTP/1.1 302 Found\r\nLocation: /landing\r\nContent-Length: 5\r\n\r\n", "moved"};
    }
    if (request.target == "/absolute") {
      return Reply{"HTTP/1.1 301 Moved\r\nLocation: " + elsewhere + "\r\nContent-Length: 0\r\n\r\n"};
    }
    if (request.target == "/loop") return Reply{"HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n\r\n"};
    return LoopbackHttpServer::Ok("landed");
  });

  ASSERT_TRUE(ToFile(server.Url("/relative"))) << error();
  EXPECT_EQ(FileContent(), "landed");
  ASSERT_TRUE(ToFile(server.Url("/absolute"))) << error();
  EXPECT_EQ(FileContent(), "moved here");
  EXPECT_EQ(ToMem(server.Url("/relative")), "landed");

  const size_t before = server.Requests().size();
  EXPECT_FALSE(ToFile(server.Url("/loop")));
  EXPECT_EQ(error(), kHttpErrorNotFound);
  // The file of the previous download is left as it was.
  EXPECT_EQ(FileContent(), "moved here");
  // The first request and ten redirects, no more.
  EXPECT_EQ(server.Requests().size() - before, 11u);
}

TEST_P(HttpClientsTest, ServersThatCloseAfterEachAnswerAreAskedAgainOnANewConnection) {
  // Without saying so in the head; at once, or a moment after the client asked again.
  for (const int lingerMs : {0, 200}) {
    const auto closing = [lingerMs](Reply reply) {
      reply.close = true;
      reply.lingerBeforeCloseMs = lingerMs;
      return reply;
    };
    LoopbackHttpServer target([&](const ReceivedRequest&) { return closing(LoopbackHttpServer::Ok("elsewhere")); });
    const std::string elsewhere = target.Url("/final");
    LoopbackHttpServer server([&](const ReceivedRequest& request) {
      Reply reply = LoopbackHttpServer::Ok("landed");
      if (request.target == "/relative" || request.target == "/absolute") {
        const std::string location = request.target == "/relative" ? "/landing" : elsewhere;
        reply.head = "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n";
        reply.body.clear();
      }
      return closing(reply);
    });
    EXPECT_EQ(ToMem(server.Url("/plain")), "landed") << lingerMs << " " << error();
    EXPECT_EQ(ToMem(server.Url("/relative")), "landed") << lingerMs << " " << error();
    EXPECT_EQ(ToMem(server.Url("/absolute")), "elsewhere") << lingerMs << " " << error();
    ASSERT_TRUE(ToFile(server.Url("/relative"))) << lingerMs << " " << error();
    EXPECT_EQ(FileContent(), "landed");
  }
}

TEST_P(HttpClientsTest, SlowServersTimeOut) {
  UseShortStall();
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    Reply reply = LoopbackHttpServer::Ok("late");
    if (request.target == "/silent") {
      reply.delayMs = 4000;
    } else {
      reply.head = "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n";
      reply.pauseAfterHeadMs = 4000;
    }
    return reply;
  });
  EXPECT_FALSE(ToFile(server.Url("/silent")));
  // The socket client reports the failed receive itself; the others a head never read.
  EXPECT_EQ(error(), For(kHttpErrorSocket, kHttpErrorHeader, kHttpErrorHeader));
  EXPECT_FALSE(ToFile(server.Url("/stalled")));
  EXPECT_EQ(error(), For(kHttpErrorSocket, kHttpErrorReadBody, kHttpErrorReadBody));
  EXPECT_FALSE(FileExists());
}

TEST_P(HttpClientsTest, CancelThroughTheCallbackStopsTheDownload) {
  LoopbackHttpServer server([](const ReceivedRequest&) {
    return Reply{.head = "HTTP/1.1 200 OK\r\nContent-Length: 4000000000\r\n\r\n", .generatedBytes = 4000000000ull};
  });
  callback_.cancelAfterPolls = 3;
  EXPECT_FALSE(ToFile(server.Url("/endless")));
  EXPECT_EQ(error(), kHttpErrorCancelled);
  EXPECT_FALSE(FileExists());
}

TEST_P(HttpClientsTest, UnusableAddressesRefusedConnectionsAndUncreatableTargetsFailByName) {
  EXPECT_FALSE(ToFile(""));
  EXPECT_EQ(error(), For(kHttpErrorConnect, kHttpErrorEmptyDownloadUrl, kHttpErrorEmptyDownloadUrl));
  EXPECT_FALSE(ToMem(""));
  EXPECT_FALSE(ToFile("http://127.0.0.1:99999/x"));
  EXPECT_EQ(error(), kHttpErrorConnect);
  EXPECT_FALSE(FileExists());
  int port = 0;
  {
    LoopbackHttpServer closed([](const ReceivedRequest&) { return Reply(); });
    port = closed.port();
  }
  EXPECT_FALSE(ToFile("http://127.0.0.1:" + std::to_string(port) + "/"));
  EXPECT_EQ(error(), kHttpErrorConnect);

  LoopbackHttpServer server([](const ReceivedRequest&) { return LoopbackHttpServer::Ok("body"); });
  target_ = temp_.path() / "plain-file";
  std::ofstream(target_) << "x";
  target_ /= "child.bin";
  EXPECT_FALSE(ToFile(server.Url("/")));
  EXPECT_EQ(error(), kHttpErrorCreateFile);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, HttpClientsTest,
                         ::testing::Values(kHttpClientSocket, kHttpClientWininet, kHttpClientWinHttp), KindName);

}  // namespace
}  // namespace tarvo::test
