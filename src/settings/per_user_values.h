#pragma once
// Names of the user's choices kept as text in the per-user store (PerUserRegistry)
// under the brand's key ("Software\" + the settings value "app/regkey"). Whoever
// reads a choice reads it from the store each time, so a change applies at once.
namespace tarvo::PerUserValues {

// "1": the last session comes back at each start; anything else, or missing: it
// comes back only after a run that did not close in order.
inline constexpr char16_t kRestoreSession[] = u"restore_session";
// "0": tabs never sleep; "1", or missing: a tab left unused long enough sleeps.
inline constexpr char16_t kSleepingTabs[] = u"sleeping_tabs";
// How many minutes unused before a tab sleeps, in decimal; missing: 10.
inline constexpr char16_t kSleepingTabsMinutes[] = u"sleeping_tabs_minutes";
// "0": the browser does not offer to save passwords; "1", or missing: it does.
inline constexpr char16_t kOfferPasswords[] = u"offer_passwords";

}  // namespace tarvo::PerUserValues
