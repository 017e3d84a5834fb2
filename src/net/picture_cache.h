#pragma once

#include "net/request_route.h"
#include "platform/text.h"

namespace tarvo {

class IHttpCallback;

// Downloaded icons kept as files in the "appdata/picture" folder, each named by the
// MD5 of its address (GetIconCacheName), without extension. Only pictures are kept
// (PictureDownload decides). Nothing is reported back: users look for the file
// later by the same name.
class PictureCache {
 public:
  // The file an icon address is cached in ("appdata/picture" + cache name).
  static WString CachePath(WStringView iconUrl);

  // Downloads `iconUrl` through `route` into its cache file unless the file already
  // exists; true when the file exists afterwards. The download goes to a temporary
  // name in the same folder and is renamed into place only when complete, so a
  // reader never sees half an icon and two fetches of one address never write the
  // same file. `callback` (may be null) can give the download up. Blocking; any
  // thread.
  static bool FetchPicture(const WString& iconUrl, const RequestRoute& route, IHttpCallback* callback = nullptr);
};

}  // namespace tarvo
