#pragma once

#include <cstdint>

#include "downloads/download_record.h"
#include "platform/text.h"

namespace tarvo {

// The amounts and the status line of the download list, as the window shows them.
// Threads: any (the language pack is read-only after start-up).
class DownloadStatusText {
 public:
  // The four unit texts, largest first.
  struct Units {
    const char16_t* gb;
    const char16_t* mb;
    const char16_t* kb;
    const char16_t* b;
  };
  static constexpr Units kSpeedUnits{u" GB/s", u" MB/s", u" KB/s", u" B/s"};
  static constexpr Units kSizeUnits{u" GB", u" MB", u" KB", u" B"};

  // Two decimals with a "," every three digits left of the point: 1234.5 gives
  // "1,234.50".
  static WString FormatNumber(double value);
  // The value in the largest unit it strictly exceeds one of (1024 bytes stay
  // "1024 B"); bytes are whole numbers, the others have two decimals.
  static WString FormatAmount(int64_t value, const Units& units);
  // The attribute list of the status label of a running item: speed, received,
  // "download/total", total, and "download/stopstatus" while paused.
  static WString StatusText(const DownloadRecord& record);
  // The status line of an ended download, in the interface language: its size and
  // "done" ("50.00 MB · Done"), why it failed ("Failed: the disk is full"), or how
  // far it got ("12.00 MB / 50.00 MB · Not finished": cancelled, or ended in an
  // earlier run for no reason known now).
  static WString EndedText(const DownloadRecord& record);
};

}  // namespace tarvo
