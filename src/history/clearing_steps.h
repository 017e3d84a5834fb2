#pragma once

#include <array>
#include <optional>

#include "history/clear_option.h"

namespace tarvo {

// The order of one clearing: each step takes the first chosen option left, so the
// window shows them done one by one. Plain state of one window; GUI thread.
class ClearingSteps {
 public:
  // Starts a clearing of the chosen options (indexed as kClearOptions).
  void Start(const std::array<bool, kClearOptions.size()>& chosen);
  // The next option to clear, which is then no longer pending; nullopt when none is
  // left (the clearing has ended).
  std::optional<ClearOption> Next();
  // Ends the clearing early (the window closed): the options not reached stay
  // uncleared.
  void Stop() { running_ = false; }

 private:
  std::array<bool, kClearOptions.size()> pending_{};
  bool running_ = false;
};

}  // namespace tarvo
