#pragma once
// The user's choices of how the browser starts and keeps its tabs: restoring the
// last session, sleeping tabs and their delay; and whether it offers to save
// passwords. They live in the per-user store and
// every read goes to the store, so a choice applies to whoever reads next (start-up
// at the next start, the sleeping-tabs check at its next round).
//
// Threads: any; the store serialises writes (also between processes).
#include <optional>

#include "platform/text.h"

namespace tarvo {

class BrowserPreferences {
 public:
  static constexpr int kDefaultSleepMinutes = 10;
  static constexpr int kMinSleepMinutes = 1;
  static constexpr int kMaxSleepMinutes = 1440;  // a day

  // `registryKey`: the brand's key path in the store ("Software\TarvoBrowser").
  explicit BrowserPreferences(WString registryKey) : key_(std::move(registryKey)) {}
  // Over this browser's key (the settings value "app/regkey").
  static BrowserPreferences ForThisBrowser();

  bool RestoreSession() const;
  // Missing means on.
  bool SleepingTabs() const;
  // The stored delay; kDefaultSleepMinutes when missing or not a delay ParseMinutes
  // accepts (a hand-edited store must not make every tab sleep at once).
  int SleepingTabsMinutes() const;
  // Missing means on.
  bool OfferPasswords() const;

  // Each stores a choice: 0, or -1 when the store could not be written (the old
  // value stays).
  int SetRestoreSession(bool on) const;
  int SetSleepingTabs(bool on) const;
  int SetOfferPasswords(bool on) const;
  // Also -1, storing nothing, for a delay outside kMinSleepMinutes..kMaxSleepMinutes.
  int SetSleepingTabsMinutes(int minutes) const;

  // A delay as typed: decimal digits, blanks around them allowed, within range;
  // otherwise nothing.
  static std::optional<int> ParseMinutes(WStringView text);

 private:
  WString Read(WStringView name) const;
  int Write(WStringView name, WStringView text) const;

  WString key_;
};

}  // namespace tarvo
