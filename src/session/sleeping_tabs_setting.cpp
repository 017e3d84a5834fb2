#include "session/sleeping_tabs_setting.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/per_user_registry.h"
#include "settings/per_user_keys.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo {

WString SleepingTabsSetting::Key() { return u"Software\\" + SettingsRegistry::Instance().Get(SettingsKeys::kRegistryKey); }

bool SleepingTabsSetting::Enabled() {
  return ParseEnabled(PerUserRegistry::ReadString(Key(), PerUserKeys::kSleepingTabs));
}

double SleepingTabsSetting::Minutes() {
  return ParseMinutes(PerUserRegistry::ReadString(Key(), PerUserKeys::kSleepingTabsMinutes));
}

std::chrono::milliseconds SleepingTabsSetting::Delay() {
  if (const auto forced = ParseOverride(std::getenv(kDelaySecondsVariable)); forced.count() > 0) return forced;
  return std::chrono::milliseconds(std::llround(Minutes() * 60 * 1000));
}

int SleepingTabsSetting::SetEnabled(bool enabled) {
  return PerUserRegistry::WriteString(Key(), PerUserKeys::kSleepingTabs, enabled ? u"1" : u"0");
}

int SleepingTabsSetting::SetMinutes(double minutes) {
  if (!(minutes >= kMinMinutes && minutes <= kMaxMinutes)) return -1;
  return PerUserRegistry::WriteString(Key(), PerUserKeys::kSleepingTabsMinutes, FormatMinutes(minutes));
}

bool SleepingTabsSetting::ParseEnabled(WStringView text) { return text != u"0"; }

double SleepingTabsSetting::ParseMinutes(WStringView text) {
  // Digits with at most one point: no sign, exponent, "inf" or spaces.
  std::string ascii;
  int points = 0;
  for (const char16_t c : text) {
    if (c == u'.') ++points;
    if ((c < u'0' || c > u'9') && c != u'.') return kDefaultMinutes;
    ascii.push_back(static_cast<char>(c));
  }
  if (ascii.empty() || points > 1 || ascii == ".") return kDefaultMinutes;
  const double minutes = std::strtod(ascii.c_str(), nullptr);
  return minutes > 0 && minutes <= kMaxMinutes ? minutes : kDefaultMinutes;
}

std::chrono::milliseconds SleepingTabsSetting::ParseOverride(const char* seconds) {
  if (seconds == nullptr) return {};
  const char* end = seconds + std::strlen(seconds);
  long long value = 0;
  const auto [stop, error] = std::from_chars(seconds, end, value);
  if (error != std::errc() || stop != end || value <= 0 || value > 24 * 3600) return {};
  return std::chrono::seconds(value);
}

WString SleepingTabsSetting::FormatMinutes(double minutes) {
  // Fixed point with the trailing zeros cut: never an exponent.
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", minutes);
  std::string fixed(text);
  fixed.erase(fixed.find_last_not_of('0') + 1);
  if (!fixed.empty() && fixed.back() == '.') fixed.pop_back();
  return AsciiToWide(fixed);
}

}  // namespace tarvo
