#include "net/picture_cache.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::LoopbackHttpServer;

class PictureCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRegistry::Instance().Set(SettingsKeys::kPictureFolder, Utf8ToWide(dir_.path().string() + "/"));
  }
  std::string Read(const WString& path) const {
    std::ifstream in(WideToUtf8(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  size_t FilesInFolder() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()));
  }

  test::TempDir dir_;
  const std::string icon_ = std::string("\x00\x00\x01\x00icon-bytes", 14);
  LoopbackHttpServer server_{[this](const test::ReceivedRequest& request) {
    if (request.target == "/missing.ico") {
      return test::ScriptedReply{"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\n", "not found"};
    }
    return LoopbackHttpServer::Ok(icon_, "Content-Type: image/x-icon\r\n");
  }};
};

TEST_F(PictureCacheTest, DownloadsOnceAndKeepsTheFile) {
  const WString url = server_.WideUrl("/favicon.ico");
  ASSERT_TRUE(PictureCache::FetchPicture(url, {}));
  EXPECT_EQ(Read(PictureCache::CachePath(url)), icon_);
  ASSERT_TRUE(PictureCache::FetchPicture(url, {}));
  EXPECT_EQ(server_.Requests().size(), 1u) << "an existing file is not fetched again";
}

TEST_F(PictureCacheTest, FailedDownloadLeavesNoFile) {
  EXPECT_FALSE(PictureCache::FetchPicture(server_.WideUrl("/missing.ico"), {}));
  EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(PictureCacheTest, ConcurrentFetchesLeaveOneCompleteFile) {
  // As the detached fetches of several tabs showing one site's icon do, but joined
  // here: only when every fetch has ended can no temporary be on its way.
  const WString url = server_.WideUrl("/favicon.ico");
  std::vector<std::thread> fetches;
  for (int i = 0; i < 6; ++i) fetches.emplace_back([&url] { EXPECT_TRUE(PictureCache::FetchPicture(url, {})); });
  for (std::thread& fetch : fetches) fetch.join();
  EXPECT_EQ(Read(PictureCache::CachePath(url)), icon_);
  EXPECT_EQ(FilesInFolder(), 1u);
}

}  // namespace
}  // namespace tarvo
