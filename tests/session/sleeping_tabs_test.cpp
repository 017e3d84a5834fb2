#include <gtest/gtest.h>

#include "platform/seconds_override.h"
#include "preferences/browser_preferences.h"
#include "session/crash_reload_policy.h"
#include "session/sleeping_tabs_setting.h"
#include "session/tab_rest_policy.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

using namespace std::chrono_literals;
using Step = TabRestPolicy::Step;
using State = TabRestPolicy::State;

// A crashed page reloads by itself until its site's renderer died three times
// within a minute; older deaths and other sites do not count.
TEST(CrashReloadPolicyTest, ThreeDeathsOfASiteWithinAMinuteStopTheReloads) {
  CrashReloadPolicy policy;
  const CrashReloadPolicy::Clock::time_point start;
  const struct {
    const char* site;
    std::chrono::seconds at;
    bool mayReload;
  } deaths[] = {{"a.test", 0s, true},  {"a.test", 20s, true}, {"b.test", 30s, true},
                {"a.test", 40s, false}, {"a.test", 59s, false}, {"a.test", 100s, true}};
  for (const auto& death : deaths) {
    EXPECT_EQ(policy.NoteDeath(death.site, start + death.at), death.mayReload) << death.site << " " << death.at.count();
  }
}

TEST(TabRestPolicyTest, BackgroundTabsFreezeThenDiscardAndTheProtectedNever) {
  const auto delay = std::chrono::milliseconds(10min);
  const struct {
    const char* name;
    TabRestPolicy::Tab tab;
    bool enabled;
    Step step;
  } cases[] = {
      {"fresh", {5min, State::kAwake}, true, Step::kNone},
      {"unused for the delay", {10min, State::kAwake}, true, Step::kFreeze},
      {"frozen already", {15min, State::kFrozen}, true, Step::kNone},
      {"frozen for twice the delay", {20min, State::kFrozen}, true, Step::kDiscard},
      {"awake for twice the delay", {25min, State::kAwake}, true, Step::kDiscard},
      {"discarded", {60min, State::kDiscarded}, true, Step::kNone},
      {"selected", {60min, State::kAwake, true}, true, Step::kNone},
      {"pinned", {60min, State::kAwake, false, true}, true, Step::kNone},
      {"playing sound", {60min, State::kAwake, false, false, true}, true, Step::kNone},
      {"switched off", {60min, State::kAwake}, false, Step::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(TabRestPolicy::Next(c.tab, c.enabled, delay), c.step) << c.name;
  EXPECT_EQ(TabRestPolicy::Next({1h}, true, 0ms), Step::kNone) << "no delay";
  EXPECT_EQ(TabRestPolicy::CheckInterval(delay), 30s);
  EXPECT_EQ(TabRestPolicy::CheckInterval(2s), 1s);
}

TEST(SleepingTabsSettingTest, TheUsersChoiceIsReadAgainAtEachAskAndTestsMayShortenIt) {
  EXPECT_EQ(SecondsOverride::Parse("7"), 7s);
  for (const char* bad : {"", "0", "-3", "7s", "x", "999999"}) {
    EXPECT_EQ(SecondsOverride::Parse(bad), 0s) << bad;
  }
  // Written as the settings window writes them, read back at once.
  test::TempDir home;
  test::ScopedEnv config("XDG_CONFIG_HOME", home.path().string());
  test::ScopedEnv fast(SleepingTabsSetting::kDelaySecondsVariable, std::nullopt);
  SettingsRegistry::Instance().Set(SettingsKeys::kRegistryKey, u"TarvoBrowserTest");
  EXPECT_TRUE(SleepingTabsSetting::Enabled());
  EXPECT_EQ(SleepingTabsSetting::Delay(), 10min);
  const BrowserPreferences preferences = BrowserPreferences::ForThisBrowser();
  ASSERT_EQ(preferences.SetSleepingTabs(false), 0);
  ASSERT_EQ(preferences.SetSleepingTabsMinutes(3), 0);
  EXPECT_FALSE(SleepingTabsSetting::Enabled());
  EXPECT_EQ(SleepingTabsSetting::Delay(), 3min);
  test::ScopedEnv forced(SleepingTabsSetting::kDelaySecondsVariable, "3");
  EXPECT_EQ(SleepingTabsSetting::Delay(), 3s);
}

}  // namespace
}  // namespace tarvo
