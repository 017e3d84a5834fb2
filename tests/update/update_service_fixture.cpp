#include "update_service_fixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo::test {

namespace fs = std::filesystem;

void UpdateServiceFixture::SetUp() {
  installerPath_ = dir_.WriteFile("seed/installer/5.5.9.0.sh", kMarkingInstaller).string();
  seedPath_ = dir_.WriteFile("seed/seed.json", R"({"default_brand": "TarvoBrowser", "brands": [
      {"name": "TarvoBrowser", "anonymous_vpn": false, "version": "5.5.9.0",
       "installer": "installer/5.5.9.0.sh"}]})").string();
  fs::create_directories(DataRoot());
  StartService(Options());
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(service_->BaseUrl()));
}

service::ServiceOptions UpdateServiceFixture::Options() const {
  service::ServiceOptions options = DefaultOptions();
  options.seedPath = seedPath_;
  return options;
}

UpdateSettings UpdateServiceFixture::Settings(const char16_t* ownVersion) const {
  UpdateSettings settings;
  settings.dataRoot = Utf8ToWide(DataRoot().string() + "/");
  settings.ownVersion = ownVersion;
  settings.brand = u"TarvoBrowser";
  settings.registryKey = kUpdateKey;
  settings.downloadStallMs = 1000;
  settings.trustedKeys = signingKey_.PublicKeyHex();
  return settings;
}

std::vector<std::string> UpdateServiceFixture::DataFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(DataRoot())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

int UpdateServiceFixture::LoggedRequests(const std::string& what) {
  // Log lines are written after the reply; give the last one a moment.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::string log = log_.str();
  int count = 0;
  for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++count;
  return count;
}

bool WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 200; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return condition();
}

}  // namespace tarvo::test
