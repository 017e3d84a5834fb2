#pragma once

#include "platform/text.h"

namespace tarvo {

// Where an address goes: what the address bar shows, what the engine loads and which
// engine loads it, answered together by CBrowserUrl from one look at the
// protected-site list. Plain data.
struct AddressRoute {
  static constexpr int kChromium = 1;       // the Qt WebEngine body
  static constexpr int kCompatibility = 2;  // the WebKitGTK body (banking and protected sites)

  WString shown;        // the protected site's address for a mirror, else the address
  WString loaded;       // the mirror's address for a protected site, else the address
  bool mapped = false;  // the address belongs to a protected site
  int engine = kChromium;
};

}  // namespace tarvo
