#include "app/init_settings.h"

#include <array>
#include <cstdlib>
#include <string>

#include "account/account_state.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/error_message.h"
#include "platform/paths.h"
#include "url/url_encoding.h"

namespace tarvo {

namespace {

constexpr const char* kBrand = "TarvoBrowser";
// The version is the project's (CMakeLists.txt), given to this file at build time.
constexpr const char* kVersion = TARVO_VERSION;
constexpr const char* kResetPasswordPath = "personal-center/respwd.jsp";
constexpr const char* kFolderFailure = "Can't create browser data, please reinstall!";

// "http://host:port/any/path/" → "http://host:port/"
std::string OriginOf(const std::string& url) {
  const auto schemeEnd = url.find("://");
  const auto hostStart = schemeEnd == std::string::npos ? 0 : schemeEnd + 3;
  const auto slash = url.find('/', hostStart);
  return slash == std::string::npos ? url + "/" : url.substr(0, slash + 1);
}

std::string WithTrailingSlash(std::string url) {
  if (url.empty() || url.back() != '/') {
    url += '/';
  }
  return url;
}


}  // namespace


WString ProgramFolder() { return Utf8ToWide(ExecutableFolder()); }

int InitSettings() {
  SettingsRegistry& settings = SettingsRegistry::Instance();
  settings.Set(SettingsKeys::kBrand, AsciiToWide(kBrand));
  settings.Set(SettingsKeys::kVersion, AsciiToWide(kVersion));
  settings.Set(SettingsKeys::kRegistryKey, AsciiToWide(kBrand));
  settings.Set(SettingsKeys::kLanguageFolder, ProgramFolder() + u"lang/");
  settings.Set(SettingsKeys::kUserCentre, u"tarvo://");

  const std::string apiDev = TARVO_API_URL_DEV;
  const std::string apiPro = TARVO_API_URL_PRO;
  settings.Set(SettingsKeys::kApiUrlDev, Utf8ToWide(apiDev));
  settings.Set(SettingsKeys::kResetPasswordUrlDev, Utf8ToWide(OriginOf(apiDev) + kResetPasswordPath));
  settings.Set(SettingsKeys::kApiUrlPro, Utf8ToWide(apiPro));
  settings.Set(SettingsKeys::kResetPasswordUrlPro, Utf8ToWide(OriginOf(apiPro) + kResetPasswordPath));
  settings.Set(SettingsKeys::kApiUrl, settings.Get(SettingsKeys::kApiUrlPro));
  settings.Set(SettingsKeys::kResetPasswordUrl, settings.Get(SettingsKeys::kResetPasswordUrlPro));
  if (const char* overridden = std::getenv("TARVO_API_URL"); overridden != nullptr && overridden[0] != '\0') {
    // Endpoint paths are appended directly, so the base must end in "/".
    const std::string base = WithTrailingSlash(overridden);
    settings.Set(SettingsKeys::kApiUrl, Utf8ToWide(base));
    settings.Set(SettingsKeys::kResetPasswordUrl, Utf8ToWide(OriginOf(base) + kResetPasswordPath));
  }

  const std::string root = DataRoot();
  const std::array<std::string, 5> folders = {root, root + "Cookie/", root + "Cache/", root + "Log/",
                                              root + "Picture/"};
  for (const std::string& folder : folders) {
    if (!CreatePrivateFolders(folder)) {
      ErrorMessage::Show(kFolderFailure);
      return 0;
    }
  }

  settings.Set(SettingsKeys::kDataRoot, Utf8ToWide(root));
  settings.Set(SettingsKeys::kCacheFolder, Utf8ToWide(folders[2]));
  settings.Set(SettingsKeys::kCookieFolder, Utf8ToWide(folders[1]));
  settings.Set(SettingsKeys::kPictureFolder, Utf8ToWide(folders[4]));
  settings.Set(SettingsKeys::kLogFolder, Utf8ToWide(folders[3]));
  settings.Set(SettingsKeys::kEngineLogFile, Utf8ToWide(folders[3] + "chromium.log"));

  settings.Set(SettingsKeys::kDatabaseFile, Utf8ToWide(root + "kx.dat"));
  if (settings.Get(SettingsKeys::kApiUrl) == settings.Get(SettingsKeys::kApiUrlDev)) {
    settings.Set(SettingsKeys::kDatabaseFile, Utf8ToWide(root + "kx_dev.dat"));
  }

  const WString startPage = GetHomePageUrl();
  settings.Set(SettingsKeys::kNewPage, startPage);
  settings.Set(SettingsKeys::kHomePage, startPage);

  // The white list would restrict the VPN to listed sites; the browser runs with it off.
  AccountState::Instance().SetWhiteListActive(false);
  return 1;
}

}  // namespace tarvo
