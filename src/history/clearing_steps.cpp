#include "history/clearing_steps.h"

namespace tarvo {

void ClearingSteps::Start(const std::array<bool, kClearOptions.size()>& chosen) {
  pending_ = chosen;
  running_ = true;
}

std::optional<ClearOption> ClearingSteps::Next() {
  for (size_t i = 0; running_ && i < pending_.size(); ++i) {
    if (pending_[i]) {
      pending_[i] = false;
      return kClearOptions[i];
    }
  }
  running_ = false;
  return std::nullopt;
}

}  // namespace tarvo
