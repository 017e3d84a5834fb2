#pragma once

#include <string>
#include <unordered_set>

#include "platform/text.h"

namespace tarvo {

// The cached site icons the favourites show: which cached file a bookmark may use,
// and which icon address to fetch for it. Files live in the "appdata/picture" folder
// under GetIconCacheName of their address. An object looks at the folder once, when
// it is made, so a bar of thousands of bookmarks does not open thousands of missing
// files; a file that appears later is seen by the next object.
//
// Threads: any thread; an object is used on one thread.
class FavoriteIcon {
 public:
  // The smallest and largest cached icon file that is shown: a smaller file is an
  // error page or a placeholder, a larger one no icon a bar should decode.
  static constexpr int64_t kSmallestIcon = 200;
  static constexpr int64_t kLargestIcon = 12000;

  // Lists the icon folder.
  FavoriteIcon();

  // The first usable cached file among the favicon candidates of `url`, in their
  // order; empty when none is.
  WString UsableCachedIcon(WStringView url) const;
  // True when the cached file of `iconUrl` was in the folder.
  bool IsCached(WStringView iconUrl) const;

  // True when the file can be opened for reading and holds 200 to 12000 bytes.
  static bool IsUsableIcon(const std::string& utf8Path);
  // The icon address to fetch for a bookmark (the first candidate: the site's origin
  // + "/favicon.ico").
  static WString PrefetchAddress(WStringView url);

 private:
  std::unordered_set<WString> names_;  // the file names in the folder
};

}  // namespace tarvo
