#pragma once

#include "platform/text.h"

namespace tarvo {

// Downloaded icons kept as files in the "appdata/picture" folder, each named by the
// MD5 of its address (GetIconCacheName), without extension. Nothing is reported back:
// users look for the file later by the same name.
class PictureCache {
 public:
  // The file an icon address is cached in ("appdata/picture" + cache name).
  static WString CachePath(WStringView iconUrl);

  // Starts a detached thread that downloads `iconUrl` into its cache file unless the
  // file already exists. The download goes to a temporary name in the same folder
  // and is renamed into place only when complete, so a reader never sees half an
  // icon and two fetches of one address never write the same file. Returns false
  // when no thread could be started. Any thread.
  static bool FetchPictureAsync(const WString& iconUrl);

  // The same work on the calling thread; true when the file exists afterwards.
  static bool FetchPicture(const WString& iconUrl);
};

}  // namespace tarvo
