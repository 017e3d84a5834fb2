#pragma once
// When a background tab goes to sleep: unused for the chosen delay it is frozen (its
// page keeps its memory but runs nothing), unused for twice the delay it is
// discarded (the engine lets the page go and keeps its address and history). Never
// the selected tab, a pinned one, or one playing sound; the caller asks an awake
// page whether the user typed into it before either step. Plain logic.
#include <algorithm>
#include <chrono>

namespace tarvo {

class TabRestPolicy {
 public:
  enum class Step { kNone, kFreeze, kDiscard };
  enum class State { kAwake, kFrozen, kDiscarded };
  struct Tab {
    std::chrono::milliseconds unused{0};
    State state = State::kAwake;
    bool selected = false;
    bool pinned = false;
    bool audible = false;
  };

  // What to do with the tab now.
  static Step Next(const Tab& tab, bool enabled, std::chrono::milliseconds delay);
  // How often tabs are looked at: a quarter of the delay, between one and thirty
  // seconds, so a tab sleeps at most a little after its time.
  static std::chrono::milliseconds CheckInterval(std::chrono::milliseconds delay);
};

}  // namespace tarvo
