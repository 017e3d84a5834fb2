#pragma once

#include <string>

namespace tarvo {

// How one of the browser's own requests leaves the machine: through an HTTP proxy
// (which then also resolves the destination's name, so no name of it is looked up
// here), or, with no proxy, the way the system says. Plain data.
struct RequestRoute {
  std::string proxy;        // "http://host:port", empty for the system's way
  std::string credentials;  // "user:password" for the proxy's challenge
};

}  // namespace tarvo
