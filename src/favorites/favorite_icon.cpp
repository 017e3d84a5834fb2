#include "favorites/favorite_icon.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "net/picture_cache.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "url/site_icon.h"

namespace tarvo {

FavoriteIcon::FavoriteIcon() {
  const std::filesystem::path folder(WideToUtf8(SettingsRegistry::Instance().Get(SettingsKeys::kPictureFolder)));
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    names_.insert(Utf8ToWide(it->path().filename().string()));
  }
}

WString FavoriteIcon::UsableCachedIcon(WStringView url) const {
  for (const WString& candidate : GetFaviconCandidates(url)) {
    if (candidate.empty() || !names_.contains(GetIconCacheName(candidate))) continue;
    const WString path = PictureCache::CachePath(candidate);
    if (IsUsableIcon(WideToUtf8(path))) return path;
  }
  return WString();
}

bool FavoriteIcon::IsCached(WStringView iconUrl) const { return names_.contains(GetIconCacheName(iconUrl)); }

bool FavoriteIcon::IsUsableIcon(const std::string& utf8Path) {
  std::ifstream file(utf8Path, std::ios::binary | std::ios::ate);
  if (!file) return false;
  const std::streamoff size = file.tellg();
  // As one unsigned comparison: size - 200 must not exceed 11800.
  return size >= 0 && static_cast<uint64_t>(size - kSmallestIcon) <= static_cast<uint64_t>(kLargestIcon - kSmallestIcon);
}

WString FavoriteIcon::PrefetchAddress(WStringView url) { return GetFaviconCandidates(url)[0]; }

}  // namespace tarvo
