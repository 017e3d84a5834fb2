#pragma once

#include <cstdint>

#include "downloads/download_record.h"
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
  // Why an ended download stopped, unless the user cancelled it.
  DownloadRecord::Problem failure = DownloadRecord::Problem::kFailed;
  // It stopped without completing and keeps the bytes it has, for the user to try
  // again (the server answered with something other than the file known).
  bool retryable = false;
};

// What the driver must do after a report, by the record's requested state.
enum class DownloadAction { kNone, kPause, kResume, kCancel };

}  // namespace tarvo
