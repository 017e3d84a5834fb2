#include "support/language_environment.h"

#include <cstdlib>

#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo::test {

void LanguageEnvironment::SetUp() {
  config_ = std::make_unique<TempDir>();
  env_ = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", config_->path().string());
  const char* root = std::getenv(variable_.c_str());
  ASSERT_NE(root, nullptr) << variable_;
  SettingsRegistry::Instance().Set(SettingsKeys::kLanguageFolder, Utf8ToWide(std::string(root) + folder_));
  SettingsRegistry::Instance().Set(SettingsKeys::kRegistryKey, u"TarvoBrowserTest");
  ASSERT_EQ(LanguageManager::Instance().SetLanguage(language_), 0);
}

void LanguageEnvironment::TearDown() {
  env_.reset();
  config_.reset();
}

}  // namespace tarvo::test
