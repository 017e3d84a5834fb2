#pragma once

namespace tarvo::PerUserKeys {

// Value names of the user's own choices in the per-user registry (PerUserRegistry),
// under "Software\<registry key of the settings>". The settings window writes them;
// the features that follow them read them again whenever they act.

// Background tabs go to sleep: "1" on, "0" off; missing means on.
inline constexpr char16_t kSleepingTabs[] = u"sleeping_tabs";
// Minutes a background tab stays unused before it sleeps, in decimal; missing or not
// a positive number means 10.
inline constexpr char16_t kSleepingTabsMinutes[] = u"sleeping_tabs_minutes";

}  // namespace tarvo::PerUserKeys
