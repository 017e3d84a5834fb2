#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

class Page;

// Payloads of the page messages of the bus, built with new by the engine bodies and
// deleted by the receiver. `page` is only compared with the listed pages: a record
// for a page closed in the meantime is dropped without touching it.

// "mainwnd/page/set_title", "mainwnd/page/set_icon_url".
struct PageTextRecord {
  Page* page = nullptr;
  WString text;
};

// "mainwnd/page/isloading".
struct PageFlagRecord {
  Page* page = nullptr;
  uint8_t flag = 0;
};

// "mainwnd/page/temp_redirect": the address of a main-frame navigation and whether
// the engine reported it as a redirect.
struct PageRedirectRecord {
  Page* page = nullptr;
  WString url;
  uint8_t redirect = 0;
};

}  // namespace tarvo
