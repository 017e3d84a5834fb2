#include "net/http_factory.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "net/i_socket_http.h"
#include "net/i_win_http.h"
#include "support/loopback_http_server.h"

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

}  // namespace
}  // namespace tarvo::test
