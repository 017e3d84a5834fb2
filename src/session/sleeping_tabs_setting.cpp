#include "session/sleeping_tabs_setting.h"

#include "platform/seconds_override.h"
#include "preferences/browser_preferences.h"

namespace tarvo {

bool SleepingTabsSetting::Enabled() { return BrowserPreferences::ForThisBrowser().SleepingTabs(); }

std::chrono::milliseconds SleepingTabsSetting::Delay() {
  if (const auto forced = SecondsOverride::Read(kDelaySecondsVariable); forced.count() > 0) return forced;
  return std::chrono::minutes(BrowserPreferences::ForThisBrowser().SleepingTabsMinutes());
}

}  // namespace tarvo
