#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/request_route.h"
#include "net/transfer_limits.h"
#include "platform/text.h"

namespace tarvo {

class IHttpCallback;

// One picture the browser fetches for its own use (a page's or a favourite's icon, an
// authority icon) into a file. The address comes from a page or the service, so the
// answer is bounded and checked before anything of it is kept: at most kMaxBytes, the
// whole request within the limits' total time, and its first bytes must be those of
// a picture format the interface shows (ICO, PNG, GIF, JPEG, BMP, WebP); anything
// else (an error page, a script, an endless stream) is dropped as soon as it shows.
//
// Threads: any; blocks the calling thread for at most the limits' times.
class PictureDownload {
 public:
  static constexpr uint64_t kMaxBytes = 1024 * 1024;

  // Connecting within 5 s, the whole answer within 15 s, at most kMaxBytes.
  static TransferLimits DefaultLimits();

  // GETs `url` through `route` into the file at `utf8Path` (created or replaced).
  // True when a whole picture is in the file; otherwise no file is left there.
  // `callback` (may be null) is asked while data flows whether to give up.
  static bool ToFile(const WString& url, const std::string& utf8Path, const RequestRoute& route,
                     IHttpCallback* callback, const TransferLimits& limits = DefaultLimits());

  // The same into `bytes`, which is left alone unless a whole picture came.
  static bool ToMemory(const WString& url, std::string& bytes, const RequestRoute& route,
                       const TransferLimits& limits = DefaultLimits());

  // Whether a body beginning with `head` is a picture: true once the head holds a
  // whole known signature. A shorter head is not (yet) one.
  static bool LooksLikePicture(std::string_view head);
  // The bytes a head needs before LooksLikePicture can tell every format apart.
  static constexpr size_t kSignatureBytes = 12;

 private:
  // Fetches `url`, calling `open` on a successful answer and `write` with the body,
  // whose first bytes are held back until they show a picture. True when the whole
  // answer was a picture within the limits.
  static bool Run(const WString& url, const RequestRoute& route, IHttpCallback* callback, const TransferLimits& limits,
                  const std::function<void()>& open, const std::function<void(std::string_view)>& write);
};

}  // namespace tarvo
