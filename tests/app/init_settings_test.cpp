#include "app/init_settings.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/error_message.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class InitSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRegistry::Instance().ClearForTesting();
    ErrorMessage::InstallPresenter(
        [this](const std::string& caption, const std::string& text) { shown_.push_back(caption + ": " + text); });
  }
  void TearDown() override { ErrorMessage::InstallPresenter(nullptr); }

  static std::string Get(const char16_t* key) { return SettingsRegistry::Instance().GetUtf8(key); }

  test::TempDir dir_;
  test::ScopedEnv data_{"XDG_DATA_HOME", dir_.path().string()};
  test::ScopedEnv api_{"TARVO_API_URL", std::nullopt};
  std::vector<std::string> shown_;
};

TEST_F(InitSettingsTest, FreshProfileGetsItsFoldersAndTheProductionServiceAndTheEnvironmentChoosesAnother) {
  InitSettings();
  const std::string root = dir_.path().string() + "/TarvoBrowser/";
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(Get(SettingsKeys::kApiUrl), Get(SettingsKeys::kApiUrlPro));
  EXPECT_EQ(Get(SettingsKeys::kResetPasswordUrl), Get(SettingsKeys::kResetPasswordUrlPro));
  EXPECT_EQ(Get(SettingsKeys::kDataRoot), root);
  EXPECT_EQ(Get(SettingsKeys::kDatabaseFile), root + "kx.dat");
  for (const auto& [key, folder] : {std::pair{SettingsKeys::kCookieFolder, "Cookie/"},
                                    {SettingsKeys::kCacheFolder, "Cache/"},
                                    {SettingsKeys::kLogFolder, "Log/"},
                                    {SettingsKeys::kPictureFolder, "Picture/"}}) {
    EXPECT_EQ(Get(key), root + folder);
    EXPECT_TRUE(fs::is_directory(root + folder)) << folder;
  }

  // A service named by the environment, with its own reset page.
  test::ScopedEnv api("TARVO_API_URL", "http://127.0.0.1:48123/staging");
  SettingsRegistry::Instance().ClearForTesting();
  InitSettings();
  EXPECT_EQ(Get(SettingsKeys::kApiUrl), "http://127.0.0.1:48123/staging/");
  EXPECT_EQ(Get(SettingsKeys::kResetPasswordUrl), "http://127.0.0.1:48123/personal-center/respwd.jsp");
  EXPECT_NE(Get(SettingsKeys::kApiUrlPro), Get(SettingsKeys::kApiUrl));
  EXPECT_TRUE(Get(SettingsKeys::kDatabaseFile).ends_with("/kx.dat"));
  // The development service keeps its data in a database of its own.
  test::ScopedEnv dev("TARVO_API_URL", Get(SettingsKeys::kApiUrlDev));
  SettingsRegistry::Instance().ClearForTesting();
  InitSettings();
  EXPECT_TRUE(Get(SettingsKeys::kDatabaseFile).ends_with("/kx_dev.dat"));
}

TEST_F(InitSettingsTest, ExistingFoldersAreUntouchedAndAMissingLogAloneIsCreated) {
  const auto cookie = dir_.WriteFile("TarvoBrowser/Cookie/Cookies", "session");
  dir_.WriteFile("TarvoBrowser/Cache/index", "cache");
  dir_.WriteFile("TarvoBrowser/Picture/0123", "icon");
  chmod((dir_.path() / "TarvoBrowser/Cookie").c_str(), 0750);
  InitSettings();
  EXPECT_TRUE(fs::is_directory(dir_.path() / "TarvoBrowser/Log"));
  EXPECT_TRUE(fs::exists(cookie));
  EXPECT_EQ(fs::status(dir_.path() / "TarvoBrowser/Cookie").permissions() & fs::perms::all,
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_TRUE(shown_.empty());
}

TEST_F(InitSettingsTest, UncreatableRootShowsTheMessageAndLeavesLaterKeysAbsent) {
  dir_.WriteFile("blocker", "a file where the data folder would go");
  test::ScopedEnv data("XDG_DATA_HOME", (dir_.path() / "blocker").string());
  EXPECT_EQ(InitSettings(), 0);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0], "Error: Can't create browser data, please reinstall!");
  EXPECT_EQ(Get(SettingsKeys::kBrand), "TarvoBrowser") << "keys before the folders are set";
  for (const char16_t* key : {u"appdata/path", u"appdata/cookie", u"appdata/db", u"newpage", u"homepage"}) {
    EXPECT_EQ(Get(key), "");
  }
}

// A test's key and CA count only for a service on this machine: nothing in the
// environment makes a browser trust more when its service is elsewhere.
TEST_F(InitSettingsTest, TestKeysAndCaCountOnlyForAServiceOnALoopbackAddress) {
  const std::string key(64, 'a');
  test::ScopedEnv keys("TARVO_API_KEYS", key);
  test::ScopedEnv authority("TARVO_API_CA", "/tmp/test-ca.pem");
  for (const auto& [url, counts] : std::vector<std::pair<std::optional<std::string>, bool>>{
           {"https://127.0.0.1:8443/", true},
           {"http://127.9.9.9:1/", true},
           {"https://[::1]:8443/", true},
           {std::nullopt, false},
           {"https://api.example.com/", false},
           {"https://localhost:8443/", false},
           {"https://127.0.0.1.example.com/", false},
           {"https://10.0.0.1/", false}}) {
    SettingsRegistry::Instance().ClearForTesting();
    test::ScopedEnv api("TARVO_API_URL", url);
    InitSettings();
    const std::string label = url.value_or("(none)");
    EXPECT_EQ(Get(SettingsKeys::kServiceKeys).find(key) != std::string::npos, counts) << label;
    EXPECT_EQ(Get(SettingsKeys::kServiceCaFile) == "/tmp/test-ca.pem", counts) << label;
  }
}

}  // namespace
}  // namespace tarvo
