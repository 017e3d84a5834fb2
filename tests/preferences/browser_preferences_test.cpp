// The choices in the per-user store: what a missing or hand-edited value reads as,
// that a write is read back, and which typed delays are taken.
#include <gtest/gtest.h>

#include "platform/per_user_registry.h"
#include "preferences/browser_preferences.h"
#include "settings/per_user_values.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

constexpr char16_t kKey[] = u"Software\\TarvoBrowserTest";

class BrowserPreferencesTest : public ::testing::Test {
 protected:
  TempDir dir_;
  ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};
  BrowserPreferences preferences_{kKey};
};

TEST_F(BrowserPreferencesTest, StoredTextsReadAsChoicesWithTheirDefaults) {
  struct Case {
    const char16_t* stored;  // nullptr: never written
    bool restore;
    bool sleeping;
    int minutes;
  };
  for (const Case& c : {Case{nullptr, false, true, 10}, Case{u"1", true, true, 1}, Case{u"0", false, false, 10},
                        Case{u" 45 ", false, true, 45}, Case{u"yes", false, true, 10}, Case{u"1441", false, true, 10},
                        Case{u"-5", false, true, 10}, Case{u"", false, true, 10}}) {
    SCOPED_TRACE(c.stored == nullptr ? "missing" : WideToUtf8(c.stored));
    if (c.stored != nullptr) {
      for (const char16_t* name :
           {PerUserValues::kRestoreSession, PerUserValues::kSleepingTabs, PerUserValues::kSleepingTabsMinutes,
            PerUserValues::kOfferPasswords}) {
        ASSERT_EQ(PerUserRegistry::WriteString(kKey, name, c.stored), 0);
      }
    }
    EXPECT_EQ(preferences_.RestoreSession(), c.restore);
    EXPECT_EQ(preferences_.SleepingTabs(), c.sleeping);
    EXPECT_EQ(preferences_.OfferPasswords(), c.sleeping) << "the same rule: off only for \"0\"";
    EXPECT_EQ(preferences_.SleepingTabsMinutes(), c.minutes);
  }
}

TEST_F(BrowserPreferencesTest, ChoicesAreReadBackAndADelayOutOfRangeStoresNothing) {
  ASSERT_EQ(preferences_.SetRestoreSession(true), 0);
  ASSERT_EQ(preferences_.SetSleepingTabs(false), 0);
  ASSERT_EQ(preferences_.SetSleepingTabsMinutes(25), 0);
  ASSERT_EQ(preferences_.SetOfferPasswords(false), 0);
  EXPECT_FALSE(preferences_.OfferPasswords());
  EXPECT_TRUE(preferences_.RestoreSession());
  EXPECT_FALSE(preferences_.SleepingTabs());
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, PerUserValues::kSleepingTabsMinutes), u"25");
  for (const int bad : {0, -1, BrowserPreferences::kMaxSleepMinutes + 1}) {
    EXPECT_EQ(preferences_.SetSleepingTabsMinutes(bad), -1) << bad;
  }
  EXPECT_EQ(preferences_.SleepingTabsMinutes(), 25);
}

TEST_F(BrowserPreferencesTest, TypedDelays) {
  struct Case {
    const char16_t* typed;
    std::optional<int> minutes;
  };
  for (const Case& c : {Case{u"1", 1}, Case{u"1440", 1440}, Case{u"\t 30 ", 30}, Case{u"007", 7},
                        Case{u"0", std::nullopt}, Case{u"1441", std::nullopt}, Case{u"99999999999", std::nullopt},
                        Case{u"", std::nullopt}, Case{u"  ", std::nullopt}, Case{u"3 0", std::nullopt},
                        Case{u"+5", std::nullopt}, Case{u"\uff15", std::nullopt}}) {
    EXPECT_EQ(BrowserPreferences::ParseMinutes(c.typed), c.minutes) << WideToUtf8(c.typed);
  }
}

}  // namespace
}  // namespace tarvo::test
