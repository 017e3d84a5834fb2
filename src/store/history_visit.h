#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

// One row of the history table as the history page lists it. Plain data.
struct HistoryVisit {
  int64_t id = 0;
  WString url;      // the address as the user knows it
  WString realUrl;  // the address loaded
  WString title;    // empty until the page announced one
  int64_t visitedAt = 0;  // seconds since 1970 (UTC)
};

}  // namespace tarvo
