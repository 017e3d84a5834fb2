#include "app/init_settings.h"

#include <arpa/inet.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "net/http_url.h"
#include "net/trusted_keys.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/error_message.h"
#include "platform/paths.h"
#include "platform/warning_output.h"
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

// A numeric loopback address: 127.0.0.0/8 or [::1]. Names are not trusted to be
// loopback (whoever edits the hosts file could point them anywhere).
bool IsLoopbackService(const std::string& url) {
  const std::optional<HttpUrl> parsed = HttpUrl::Parse(url);
  if (!parsed) {
    return false;
  }
  in_addr v4{};
  if (inet_pton(AF_INET, parsed->host().c_str(), &v4) == 1) {
    return (ntohl(v4.s_addr) >> 24) == 127;
  }
  return parsed->host() == "[::1]";
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// The brand's keys and certification authority: the build's, and for a service on
// this very machine (tests, a developer's own service) those of TARVO_API_KEYS and
// TARVO_API_CA as well. A network attacker can set neither the environment nor the
// address, and whoever can set both for the browser already runs programs as its
// user; a browser that talks to a service elsewhere never reads the two.
void SetServiceTrust(SettingsRegistry& settings, const std::string& overriddenApi) {
  std::string keys = TARVO_SERVICE_KEYS;
  std::string authority = TARVO_SERVICE_CA_FILE;
  const bool loopback = !overriddenApi.empty() && IsLoopbackService(overriddenApi);
  const std::string extraKeys = EnvironmentValue("TARVO_API_KEYS");
  const std::string extraAuthority = EnvironmentValue("TARVO_API_CA");
  if ((!extraKeys.empty() || !extraAuthority.empty()) && !loopback) {
    WarningOutput("TARVO_API_KEYS and TARVO_API_CA count only for a service on a loopback address "
                  "(TARVO_API_URL); ignored");
  } else if (loopback) {
    keys = extraKeys.empty() ? keys : keys + "," + extraKeys;
    authority = extraAuthority.empty() ? authority : extraAuthority;
  }
  const TrustedKeys trusted = TrustedKeys::Parse(keys);
  if (trusted.rejected() != 0) {
    WarningOutput(std::to_string(trusted.rejected()) + " of the brand's keys are not Ed25519 public keys "
                  "(64 hexadecimal digits) and count for nothing");
  }
  if (trusted.empty()) {
    WarningOutput("no brand key is known: version announcements and protected-site mirror lists will be refused");
  }
  std::error_code error;
  if (!authority.empty() && !std::filesystem::is_regular_file(authority, error)) {
    WarningOutput("the brand's certification authority file " + authority + " cannot be read; only the system's "
                  "trust store is used");
  }
  settings.Set(SettingsKeys::kServiceKeys, Utf8ToWide(keys));
  settings.Set(SettingsKeys::kServiceCaFile, Utf8ToWide(authority));
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
  const std::string overridden = EnvironmentValue("TARVO_API_URL");
  if (!overridden.empty()) {
    // Endpoint paths are appended directly, so the base must end in "/".
    const std::string base = WithTrailingSlash(overridden);
    settings.Set(SettingsKeys::kApiUrl, Utf8ToWide(base));
    settings.Set(SettingsKeys::kResetPasswordUrl, Utf8ToWide(OriginOf(base) + kResetPasswordPath));
    if (base.rfind("http://", 0) == 0) {
      WarningOutput("TARVO_API_URL is a plain http:// address: the password at log-in, the session and VPN "
                    "tokens and favourites cross the network readable by anyone on the way");
    }
  }
  SetServiceTrust(settings, overridden);

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
  return 1;
}

}  // namespace tarvo
