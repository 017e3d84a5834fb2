#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

// The page-address object: an address as the user knows it and as it is loaded
// (CBrowserUrl::Route's shown and loaded address). The history accessor records it
// and stores the new history row's id in `historyId`. Plain data; owned by whoever holds it.
struct PageUrl {
  WString url;          // shown: the protected site's address for a mapped mirror
  WString realUrl;      // loaded: the mirror address for a mapped site
  bool mapped = false;  // the address belongs to a protected site
  int64_t historyId = 0;
};

}  // namespace tarvo
