#pragma once
// When background tabs go to sleep: the user's choice, kept with the other start-up
// and tab choices (BrowserPreferences) and read again at each ask, so a change made
// in the settings window applies at the next check; tests may shorten the delay
// through an environment variable in seconds.
//
// Threads: any (each call reads the per-user store whole).
#include <chrono>

namespace tarvo {

class SleepingTabsSetting {
 public:
  // Overrides the delay in whole seconds (tests); a bad value is ignored.
  static constexpr char kDelaySecondsVariable[] = "TARVO_SLEEPING_TABS_SECONDS";

  static bool Enabled();
  // How long a background tab stays unused before it sleeps: the override, or the
  // user's minutes.
  static std::chrono::milliseconds Delay();
};

}  // namespace tarvo
