#include "shell/pages/shell_test_data.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "bus/message_bus.h"
#include "protect/c_browser_url.h"
#include "store/user_database.h"
#include "ui/resource_manager.h"

namespace tarvo::test {

UserDatabase& ShellTestData::Database() {
  static UserDatabase* database = new UserDatabase();
  return *database;
}

::testing::AssertionResult ShellTestData::SetUp(WStringView newPage, WStringView homePage) {
  const char* source = std::getenv("TARVO_SOURCE_DIR");
  const char* data = std::getenv("TARVO_TEST_DATA");
  if (source == nullptr || data == nullptr) {
    return ::testing::AssertionFailure() << "TARVO_SOURCE_DIR and TARVO_TEST_DATA must be set";
  }
  dataEnv_.emplace("XDG_DATA_HOME", (root_.path() / "data").string());
  configEnv_.emplace("XDG_CONFIG_HOME", (root_.path() / "config").string());
  auto& settings = SettingsRegistry::Instance();
  settings.Set(SettingsKeys::kNewPage, newPage);
  settings.Set(SettingsKeys::kHomePage, homePage);
  settings.Set(SettingsKeys::kLanguageFolder, Utf8ToWide(std::string(source) + "/lang/"));
  settings.Set(SettingsKeys::kPictureFolder, Utf8ToWide((root_.path() / "picture").string() + "/"));
  if (Database().OpenFile((root_.path() / "kx.dat").string()) != 0 || Database().Upgrade() != 0) {
    return ::testing::AssertionFailure() << "the user database in " << root_.path() << " did not open";
  }
  CBrowserUrl::UseDatabase(Database());
  MessageBus::Instance().Initialise();
  auto& resources = DuiLib::CResourceManager::Instance();
  resources.SetResourcePath(QString::fromUtf8(data) + QStringLiteral("/shell/"));
  resources.SetResourceZip(QString());
  resources.SetErrorReporter([](const QString& message) {
    if (!message.contains(QLatin1String("Tabbar"))) fprintf(stderr, "skin: %s\n", qPrintable(message));
  });
  return ::testing::AssertionSuccess();
}

}  // namespace tarvo::test
