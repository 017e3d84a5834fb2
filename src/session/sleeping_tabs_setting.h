#pragma once
// The user's choice about sleeping tabs, read from and written to the per-user
// registry each time it is asked for, so a change made by the settings window applies
// at the next check. The delay can be shortened for tests by an environment variable
// in seconds.
//
// Threads: any (each call reads or writes the registry file whole).
#include <chrono>

#include "platform/text.h"

namespace tarvo {

class SleepingTabsSetting {
 public:
  static constexpr double kDefaultMinutes = 10;
  // The shortest delay SetMinutes writes (a thousandth of a minute is its precision).
  static constexpr double kMinMinutes = 0.001;
  // Longer than this is taken as a typing slip: a week.
  static constexpr double kMaxMinutes = 7 * 24 * 60;
  // Overrides the delay in whole seconds (tests); a bad value is ignored.
  static constexpr char kDelaySecondsVariable[] = "TARVO_SLEEPING_TABS_SECONDS";

  static bool Enabled();
  // The delay the user chose (minutes), or the default.
  static double Minutes();
  // How long a background tab stays unused before it sleeps: the override, or Minutes.
  static std::chrono::milliseconds Delay();
  // 0, or -1 when the value could not be stored.
  static int SetEnabled(bool enabled);
  // -1 too for minutes outside kMinMinutes..kMaxMinutes.
  static int SetMinutes(double minutes);

  // "0" is off; anything else, and nothing, is on.
  static bool ParseEnabled(WStringView text);
  // A positive decimal number of minutes up to kMaxMinutes, else the default.
  static double ParseMinutes(WStringView text);
  // A positive whole number of seconds, else nothing (a zero duration).
  static std::chrono::milliseconds ParseOverride(const char* seconds);
  // Minutes written the way ParseMinutes reads them ("10", "2.5").
  static WString FormatMinutes(double minutes);

 private:
  static WString Key();
};

}  // namespace tarvo
