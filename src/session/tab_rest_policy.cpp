#include "session/tab_rest_policy.h"

namespace tarvo {

using std::chrono::milliseconds;

TabRestPolicy::Step TabRestPolicy::Next(const Tab& tab, bool enabled, milliseconds delay) {
  if (!enabled || delay.count() <= 0 || tab.selected || tab.pinned || tab.audible) return Step::kNone;
  if (tab.state == State::kDiscarded) return Step::kNone;
  if (tab.unused >= 2 * delay) return Step::kDiscard;
  if (tab.unused >= delay && tab.state == State::kAwake) return Step::kFreeze;
  return Step::kNone;
}

milliseconds TabRestPolicy::CheckInterval(milliseconds delay) {
  return std::clamp(delay / 4, milliseconds(1000), milliseconds(30000));
}

}  // namespace tarvo
