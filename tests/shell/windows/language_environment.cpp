// Every test of this program sees the same two small language packs and keeps the
// language choice in a temporary configuration folder, never the user's own.
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

class LanguageEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    config_ = std::make_unique<TempDir>();
    env_ = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", config_->path().string());
    const char* data = std::getenv("TARVO_TEST_DATA");
    ASSERT_NE(data, nullptr);
    SettingsRegistry::Instance().Set(SettingsKeys::kLanguageFolder, Utf8ToWide(std::string(data) + "/shell_windows/lang/"));
    SettingsRegistry::Instance().Set(SettingsKeys::kRegistryKey, u"TarvoBrowserTest");
    ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
  }
  void TearDown() override {
    env_.reset();
    config_.reset();
  }

 private:
  std::unique_ptr<TempDir> config_;
  std::unique_ptr<ScopedEnv> env_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new LanguageEnvironment);

}  // namespace
}  // namespace tarvo::test
