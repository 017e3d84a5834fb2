#pragma once

#include <functional>

#include "net/request_route.h"
#include "platform/text.h"

namespace tarvo {

class AccountState;

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
//
// A small value over the account state, which must outlive every copy.
class VpnRoute {
 public:
  explicit VpnRoute(const AccountState& account) : account_(&account) {}
  // The route for `url` by the VPN state now. Any thread.
  RequestRoute For(WStringView url) const;
  // The same as a function, for those that take any route.
  std::function<RequestRoute(WStringView url)> AsFunction() const {
    return [route = *this](WStringView url) { return route.For(url); };
  }

 private:
  const AccountState* account_;
};

}  // namespace tarvo
