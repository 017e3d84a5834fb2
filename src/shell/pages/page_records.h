#pragma once

#include <cstdint>
#include <memory>

#include "platform/text.h"

namespace tarvo {

class Page;
class Pages;

// Payloads of the page reports of the bus (shell/pages/page_channels.h), made by the
// engine bodies and owned by the receiver. `page` is only compared with the listed
// pages: a record for a page closed in the meantime is dropped without touching it.

// "mainwnd/pages/addpage": a page the engine made (a pop-up) for the window whose
// list is `into` (not owned; it may be gone when the record arrives).
struct AddPageRecord {
  std::unique_ptr<Page> page;
  Pages* into = nullptr;
};

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

// "mainwnd/page/renderer_gone": the engine process that drew the page ended (it
// crashed, or the system killed it, as the out-of-memory killer does) while the page
// was open. Either engine's body posts it; the page shows the crashed-page notice.
struct PageGoneRecord {
  Page* page = nullptr;
};

// "mainwnd/page/temp_redirect": the address of a main-frame navigation and whether
// the engine reported it as a redirect.
struct PageRedirectRecord {
  Page* page = nullptr;
  WString url;
  uint8_t redirect = 0;
};

}  // namespace tarvo
