#include "session/sleeping_tabs_setting.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "preferences/browser_preferences.h"

namespace tarvo {

bool SleepingTabsSetting::Enabled() { return BrowserPreferences::ForThisBrowser().SleepingTabs(); }

std::chrono::milliseconds SleepingTabsSetting::Delay() {
  if (const auto forced = ParseOverride(std::getenv(kDelaySecondsVariable)); forced.count() > 0) return forced;
  return std::chrono::minutes(BrowserPreferences::ForThisBrowser().SleepingTabsMinutes());
}

std::chrono::milliseconds SleepingTabsSetting::ParseOverride(const char* seconds) {
  if (seconds == nullptr) return {};
  const char* end = seconds + std::strlen(seconds);
  long long value = 0;
  const auto [stop, error] = std::from_chars(seconds, end, value);
  if (error != std::errc() || stop != end || value <= 0 || value > 24 * 3600) return {};
  return std::chrono::seconds(value);
}

}  // namespace tarvo
