#pragma once

#include "platform/text.h"

namespace tarvo {

// Whether a page's icon link is one the tab shows: only ".ico" addresses are taken
// from the engines (the shell falls back to the site's /favicon.ico otherwise).
inline bool IsIcoAddress(WStringView url) { return url.size() >= 4 && url.substr(url.size() - 4) == u".ico"; }

}  // namespace tarvo
