#pragma once

#include "net/request_route.h"
#include "platform/text.h"

namespace tarvo {

// The route of the browser's own requests made on behalf of what the user browses
// (page, favourite and authority icons, downloads taken up after a restart): the
// Chromium engine's. While the VPN is connected and the address is routed through
// it (the rule the engine's navigations follow), through the node's proxy with the
// user (or "nobody") and the connection's proxy token, the node resolving the
// names; otherwise the system's way. The requests to the browser's own service keep
// theirs and never ask here.
//
// Unlike the engine, which never sends loopback addresses to a proxy, this sends
// every address through the node: the node cannot reach the user's own machine, so
// such a request fails instead of going around the VPN.
class VpnRoute {
 public:
  // The route for `url` by the VPN state now. Any thread.
  static RequestRoute For(WStringView url);
};

}  // namespace tarvo
