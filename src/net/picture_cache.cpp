#include "net/picture_cache.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "net/picture_download.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "url/site_icon.h"

namespace tarvo {

WString PictureCache::CachePath(WStringView iconUrl) {
  return SettingsRegistry::Instance().Get(SettingsKeys::kPictureFolder) + GetIconCacheName(iconUrl);
}

bool PictureCache::FetchPicture(const WString& iconUrl, const RequestRoute& route, IHttpCallback* callback) {
  const std::string path = WideToUtf8(CachePath(iconUrl));
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    return true;
  }
  static std::atomic<uint64_t> counter = 0;
  const std::string temporary = path + ".part" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  if (!PictureDownload::ToFile(iconUrl, temporary, route, callback)) {
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return std::filesystem::exists(path, error);
  }
  return true;
}

}  // namespace tarvo
