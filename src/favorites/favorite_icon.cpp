#include "favorites/favorite_icon.h"

#include <fstream>

#include "net/picture_cache.h"
#include "url/site_icon.h"

namespace tarvo {

bool FavoriteIcon::IsUsableIcon(const std::string& utf8Path) {
  std::ifstream file(utf8Path, std::ios::binary | std::ios::ate);
  if (!file) return false;
  const std::streamoff size = file.tellg();
  // As one unsigned comparison: size - 200 must not exceed 11800.
  return size >= 0 && static_cast<uint64_t>(size - kSmallestIcon) <= static_cast<uint64_t>(kLargestIcon - kSmallestIcon);
}

WString FavoriteIcon::UsableCachedIcon(WStringView url) {
  for (const WString& candidate : GetFaviconCandidates(url)) {
    if (candidate.empty()) continue;
    const WString path = PictureCache::CachePath(candidate);
    if (IsUsableIcon(WideToUtf8(path))) return path;
  }
  return WString();
}

WString FavoriteIcon::PrefetchAddress(WStringView url) { return GetFaviconCandidates(url)[0]; }

bool FavoriteIcon::IsCached(WStringView iconUrl) {
  return std::ifstream(WideToUtf8(PictureCache::CachePath(iconUrl)), std::ios::binary).good();
}

}  // namespace tarvo
