#pragma once

#include <string>

#include "platform/text.h"

namespace tarvo {

// How the browser's own requests for a download go out: through the VPN node when
// the VPN is connected and the address is routed through it (the same rule the
// engine's navigations follow), otherwise the way the system says. A download taken
// up after a restart must not leave the VPN the engine would have used. Plain data.
struct DownloadRoute {
  std::string proxy;        // "http://host:port", empty for the system's way
  std::string credentials;  // "user:token" for the node's proxy

  // The route for `url` by the current VPN state. Any thread.
  static DownloadRoute For(WStringView url);
};

}  // namespace tarvo
