#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

// One stored download as the download table keeps it. Plain data; the download
// manager turns it into its own record.
struct DownloadRow {
  WString fileUrl;  // the key: one row per URL
  WString filePath;
  WString fileName;
  int64_t received = 0;
  int64_t total = 0;
  int status = 0;
  // Orders the list as read: 0x7FFFFFFF for the first (newest) row, one less for each
  // following row.
  int64_t orderKey = 0;
};

}  // namespace tarvo
