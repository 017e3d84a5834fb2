#include "preferences/browser_preferences.h"

#include "platform/per_user_registry.h"
#include "settings/per_user_values.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo {

namespace {
constexpr char16_t kOn[] = u"1";
constexpr char16_t kOff[] = u"0";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
}  // namespace

BrowserPreferences BrowserPreferences::ForThisBrowser() {
  return BrowserPreferences(u"Software\\" + SettingsRegistry::Instance().Get(SettingsKeys::kRegistryKey));
}

bool BrowserPreferences::RestoreSession() const { return Read(PerUserValues::kRestoreSession) == kOn; }

bool BrowserPreferences::SleepingTabs() const { return Read(PerUserValues::kSleepingTabs) != kOff; }

int BrowserPreferences::SleepingTabsMinutes() const {
  return ParseMinutes(Read(PerUserValues::kSleepingTabsMinutes)).value_or(kDefaultSleepMinutes);
}

bool BrowserPreferences::OfferPasswords() const { return Read(PerUserValues::kOfferPasswords) != kOff; }

int BrowserPreferences::SetRestoreSession(bool on) const {
  return Write(PerUserValues::kRestoreSession, on ? kOn : kOff);
}

int BrowserPreferences::SetSleepingTabs(bool on) const { return Write(PerUserValues::kSleepingTabs, on ? kOn : kOff); }

int BrowserPreferences::SetOfferPasswords(bool on) const {
  return Write(PerUserValues::kOfferPasswords, on ? kOn : kOff);
}

int BrowserPreferences::SetSleepingTabsMinutes(int minutes) const {
  if (minutes < kMinSleepMinutes || minutes > kMaxSleepMinutes) return -1;
  return Write(PerUserValues::kSleepingTabsMinutes, AsciiToWide(std::to_string(minutes)));
}

std::optional<int> BrowserPreferences::ParseMinutes(WStringView text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  // More digits than the largest delay has cannot be in range (and cannot overflow).
  if (text.empty() || text.size() > 5) return std::nullopt;
  int minutes = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    minutes = minutes * 10 + (c - u'0');
  }
  if (minutes < kMinSleepMinutes || minutes > kMaxSleepMinutes) return std::nullopt;
  return minutes;
}

WString BrowserPreferences::Read(WStringView name) const { return PerUserRegistry::ReadString(key_, name); }

int BrowserPreferences::Write(WStringView name, WStringView text) const {
  return PerUserRegistry::WriteString(key_, name, text);
}

}  // namespace tarvo
