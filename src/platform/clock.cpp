#include "platform/clock.h"

#include <chrono>

namespace tarvo {

int64_t NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace tarvo
