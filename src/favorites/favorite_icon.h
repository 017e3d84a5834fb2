#pragma once

#include <string>

#include "platform/text.h"

namespace tarvo {

// The cached site icons the favourites show: which cached file a bookmark may use,
// and which icon address to fetch for it. Files live in the "appdata/picture" folder
// under GetIconCacheName of their address.
//
// Threads: any thread; reads files only.
class FavoriteIcon {
 public:
  // The smallest and largest cached icon file that is shown: a smaller file is an
  // error page or a placeholder, a larger one no icon a bar should decode.
  static constexpr int64_t kSmallestIcon = 200;
  static constexpr int64_t kLargestIcon = 12000;

  // True when the file can be opened for reading and holds 200 to 12000 bytes.
  static bool IsUsableIcon(const std::string& utf8Path);
  // The first usable cached file among the favicon candidates of `url`, in their
  // order; empty when none is.
  static WString UsableCachedIcon(WStringView url);
  // The icon address to fetch for a bookmark (the first candidate: the site's origin
  // + "/favicon.ico").
  static WString PrefetchAddress(WStringView url);
  // True when the cached file of `iconUrl` can be opened for reading.
  static bool IsCached(WStringView iconUrl);
};

}  // namespace tarvo
