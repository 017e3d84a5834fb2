#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

// One progress report of a driver (the engine or the resumer). Plain data.
struct DownloadReport {
  int64_t id = 0;
  WString url;  // where the download started
  int64_t speed = 0;
  int64_t received = 0;
  int64_t total = 0;       // 0 when unknown
  bool complete = false;   // the driver has finished writing the working file
  bool ended = false;      // it stopped for good without completing (cancelled, interrupted)
};

// What the driver must do after a report, by the record's requested state.
enum class DownloadAction { kNone, kPause, kResume, kCancel };

}  // namespace tarvo
