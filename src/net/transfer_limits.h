#pragma once

#include <cstdint>

namespace tarvo {

// Bounds of one HTTP operation. Every request is bounded in time so that a thread
// waiting on the service (the interface thread during a login) can never hang:
// connecting, a text request as a whole, and a download that stops making progress
// (milliseconds). And in size, so a server cannot fill memory or the disk: a text
// reply is kept in memory, a download goes to a file.
struct TransferLimits {
  uint32_t connectMs = 5000;
  uint32_t requestTotalMs = 30000;
  uint32_t stallMs = 30000;
  uint64_t maxTextBytes = 16 * 1024 * 1024;
  uint64_t maxDownloadBytes = uint64_t{8} * 1024 * 1024 * 1024;

  // The plain-socket client's defaults: it gives up on a silent server sooner, and
  // its in-memory download has always taken at most 8 MiB.
  static constexpr TransferLimits ForSocketClient() {
    TransferLimits limits;
    limits.stallMs = 10000;
    limits.maxTextBytes = 8 * 1024 * 1024;
    return limits;
  }
};

}  // namespace tarvo
