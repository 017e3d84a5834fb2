#include "net/http_factory.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "net/http_download.h"
#include "net/i_socket_http.h"
#include "net/i_win_http.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

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
  ASSERT_TRUE(create(&client, 0));
  uint8_t* buffer = nullptr;
  uint32_t length = 0;
  ASSERT_TRUE(client->DownloadToMem(server.WideUrl("/"), &buffer, &length));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), length), "from the library");
  std::free(buffer);
  EXPECT_EQ(WideToUtf8(static_cast<ISocketHttp*>(client)->GetIpAddr()), "127.0.0.1");
  client->FreeInstance();
  dlclose(library);
}

TEST(HttpDownloadTest, DownloadsSynchronouslyAndInTheBackground) {
  TempDir temp;
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    if (request.target == "/missing") {
      ScriptedReply reply;
      reply.head = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
      return reply;
    }
    return LoopbackHttpServer::Ok("package");
  });
  const std::filesystem::path file = temp.path() / "pkg.bin";
  EXPECT_EQ(HttpDownloadFile(server.WideUrl("/pkg"), Utf8ToWide(file.string())), 0);
  EXPECT_EQ(std::filesystem::file_size(file), 7u);
  EXPECT_EQ(HttpDownloadFile(server.WideUrl("/missing"), Utf8ToWide((temp.path() / "none").string())), -1);
  EXPECT_FALSE(std::filesystem::exists(temp.path() / "none"));

  static std::promise<std::pair<std::string, uint64_t>> finished;
  finished = {};
  const std::filesystem::path background = temp.path() / "bg \u00e9.bin";
  {
    // The arguments are copied: they may go away as soon as the call returns.
    const WString url = server.WideUrl("/pkg");
    const WString path = Utf8ToWide(background.string());
    ASSERT_EQ(HttpDownloadFileAsync(
                  url, path, [](const std::string& done, uint64_t context) { finished.set_value({done, context}); },
                  42),
              0);
  }
  auto future = finished.get_future();
  ASSERT_EQ(future.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const auto [reported, context] = future.get();
  EXPECT_EQ(reported, background.string());
  EXPECT_EQ(context, 42u);
  EXPECT_EQ(std::filesystem::file_size(background), 7u);
}

}  // namespace
}  // namespace tarvo::test
