#include "session/crash_reload_policy.h"

namespace tarvo {

bool CrashReloadPolicy::NoteDeath(const std::string& site, Clock::time_point when) {
  // Deaths older than the window are forgotten, and so are sites without recent
  // ones: the map holds only what still counts.
  for (auto it = deaths_.begin(); it != deaths_.end();) {
    std::deque<Clock::time_point>& times = it->second;
    while (!times.empty() && when - times.front() >= kWindow) times.pop_front();
    it = times.empty() ? deaths_.erase(it) : std::next(it);
  }
  std::deque<Clock::time_point>& times = deaths_[site];
  times.push_back(when);
  return static_cast<int>(times.size()) < kDeathsBeforeHolding;
}

}  // namespace tarvo
