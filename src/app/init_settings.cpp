#include "app/init_settings.h"

#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <string>

#include "account/account_state.h"
#include "settings/settings_registry.h"
#include "platform/error_message.h"
#include "platform/paths.h"
#include "url/url_encoding.h"

namespace tarvo {

namespace {

constexpr const char* kBrand = "TarvoBrowser";
constexpr const char* kVersion = "5.5.8.1";
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

bool EnsureFolder(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return true;
  }
  return mkdir(path.c_str(), 0700) == 0;
}

}  // namespace


WString ProgramFolder() { return Utf8ToWide(ExecutableFolder()); }

int InitSettings() {
  SettingsRegistry& settings = SettingsRegistry::Instance();
  settings.Set(u"app/brand", AsciiToWide(kBrand));
  settings.Set(u"app/version", AsciiToWide(kVersion));
  settings.Set(u"app/regkey", AsciiToWide(kBrand));
  settings.Set(u"app/lang", ProgramFolder() + u"lang/");
  settings.Set(u"usercenter/http", u"tarvo://");

  const std::string apiDev = TARVO_API_URL_DEV;
  const std::string apiPro = TARVO_API_URL_PRO;
  settings.Set(u"app/apiurl_dev", Utf8ToWide(apiDev));
  settings.Set(u"app/reset_password_url_dev", Utf8ToWide(OriginOf(apiDev) + kResetPasswordPath));
  settings.Set(u"app/apiurl_pro", Utf8ToWide(apiPro));
  settings.Set(u"app/reset_password_url_pro", Utf8ToWide(OriginOf(apiPro) + kResetPasswordPath));
  settings.Set(u"app/apiurl", settings.Get(u"app/apiurl_pro"));
  settings.Set(u"app/reset_password_url", settings.Get(u"app/reset_password_url_pro"));
  if (const char* overridden = std::getenv("TARVO_API_URL"); overridden != nullptr && overridden[0] != '\0') {
    // Endpoint paths are appended directly, so the base must end in "/".
    const std::string base = WithTrailingSlash(overridden);
    settings.Set(u"app/apiurl", Utf8ToWide(base));
    settings.Set(u"app/reset_password_url", Utf8ToWide(OriginOf(base) + kResetPasswordPath));
  }

  const std::string root = DataRoot();
  const std::array<std::string, 5> folders = {root, root + "Cookie/", root + "Cache/", root + "Log/",
                                              root + "Picture/"};
  for (const std::string& folder : folders) {
    if (!EnsureFolder(folder)) {
      ErrorMessage::Show(kFolderFailure);
      return 0;
    }
  }

  settings.Set(u"appdata/path", Utf8ToWide(root));
  settings.Set(u"appdata/cache", Utf8ToWide(folders[2]));
  settings.Set(u"appdata/cookie", Utf8ToWide(folders[1]));
  settings.Set(u"appdata/picture", Utf8ToWide(folders[4]));
  settings.Set(u"appdata/log", Utf8ToWide(folders[3]));
  settings.Set(u"appdata/log/cef.file", Utf8ToWide(folders[3] + "chromium.log"));

  settings.Set(u"appdata/db", Utf8ToWide(root + "kx.dat"));
  if (settings.Get(u"app/apiurl") == settings.Get(u"app/apiurl_dev")) {
    settings.Set(u"appdata/db", Utf8ToWide(root + "kx_dev.dat"));
  }

  const WString startPage = GetHomePageUrl();
  settings.Set(u"newpage", startPage);
  settings.Set(u"homepage", startPage);

  // The white list would restrict the VPN to listed sites; the browser runs with it off.
  AccountState::Instance().SetWhiteListActive(false);
  return 1;
}

}  // namespace tarvo
