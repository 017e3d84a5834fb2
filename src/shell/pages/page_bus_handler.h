#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

// Applies the page messages of the bus to the page list: "mainwnd/tab/openurl",
// "mainwnd/tab/openhome", "mainwnd/pages/addpage", "mainwnd/page/isloading",
// "mainwnd/page/temp_redirect", "mainwnd/page/set_icon_url" and
// "mainwnd/page/set_title". The main window drains the bus in its fixed order and
// hands each payload of these keys here; records for pages no longer listed are
// dropped. Every payload is freed.
//
// Threads: the main window's thread only.
class PageBusHandler {
 public:
  // True when `key` is one of the keys above (the payload was then taken and freed).
  static bool Handle(WStringView key, uintptr_t payload);

  // Pops and handles every channel above in the bus's poll order until each is
  // empty, for hosts that have no other channels to drain.
  static void DrainPageChannels();
};

}  // namespace tarvo
