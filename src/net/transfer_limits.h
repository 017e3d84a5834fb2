#pragma once

#include <cstdint>

namespace tarvo {

// Time bounds of one HTTP operation, in milliseconds. Every request is bounded so
// that a thread waiting on the service (the interface thread during a login) can never
// hang: connecting, a text request as a whole, and a download that stops making
// progress.
struct TransferLimits {
  uint32_t connectMs = 5000;
  uint32_t requestTotalMs = 30000;
  uint32_t stallMs = 30000;
};

}  // namespace tarvo
