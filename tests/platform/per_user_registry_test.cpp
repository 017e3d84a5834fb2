#include "platform/per_user_registry.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

constexpr char16_t kKey[] = u"Software\\TarvoBrowser";

class PerUserRegistryTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  test::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};
};

TEST_F(PerUserRegistryTest, ValuesPersistInTheStoreFileKeepOddTextAndEndAtTheirFirstNul) {
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"language"), u"") << "no store yet";
  const WString odd = u"quote\" back\\slash \u4e2d\u6587 \U0001F600 new\nline";
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"language", u"china"), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateExeUrl", odd), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"language", u"thailand"), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"v", WString(u"ab\0cd", 5)), 0);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "TarvoBrowser" / "registry.json"));
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"language"), u"thailand");
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateExeUrl"), odd);
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"v"), u"ab");
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateVer"), u"") << "a missing value";
  EXPECT_EQ(PerUserRegistry::ReadString(u"Software\\Other", u"language"), u"") << "a missing key";
}

TEST_F(PerUserRegistryTest, DamagedStoreReadsEmptyAndIsKeptAsideOnTheNextWrite) {
  const auto store = dir_.WriteFile("TarvoBrowser/registry.json", "{\"Software\\\\TarvoBrowser\": {\"language\": ");
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"language"), u"");
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"language", u"usa"), 0);
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"language"), u"usa");
  EXPECT_TRUE(std::filesystem::exists(store.string() + ".bad"));
}

TEST_F(PerUserRegistryTest, UncreatableFolderFailsTheWrite) {
  dir_.WriteFile("file", "x");
  test::ScopedEnv config("XDG_CONFIG_HOME", (dir_.path() / "file").string());
  EXPECT_EQ(PerUserRegistry::WriteString(kKey, u"language", u"usa"), -1);
}

// Several processes write different values at the same time; each must find its
// own last value afterwards.
TEST_F(PerUserRegistryTest, ConcurrentWritersFromSeveralProcessesLoseNothing) {
  constexpr int kWriters = 4;
  constexpr int kWrites = 40;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const WString name = u"value" + AsciiToWide(std::to_string(writer));
      int failures = 0;
      for (int i = 0; i < kWrites; ++i) {
        failures += PerUserRegistry::WriteString(kKey, name, AsciiToWide(std::to_string(i))) != 0;
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int writer = 0; writer < kWriters; ++writer) {
    EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"value" + AsciiToWide(std::to_string(writer))),
              AsciiToWide(std::to_string(kWrites - 1)));
  }
}

// A writer killed at a random moment leaves the old or the new value, never garbage.
TEST_F(PerUserRegistryTest, WriterKilledMidWriteLeavesOldOrNewValue) {
  const WString bulk(20000, u'x');
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"bulk", bulk), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"counter", u"0"), 0);
  for (int round = 0; round < 15; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 1;; ++i) PerUserRegistry::WriteString(kKey, u"counter", AsciiToWide(std::to_string(i)));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500 + round * 700));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"bulk"), bulk);
    const WString counter = PerUserRegistry::ReadString(kKey, u"counter");
    ASSERT_FALSE(counter.empty());
    EXPECT_TRUE(std::all_of(counter.begin(), counter.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }));
  }
  // The next write still works: a lock held by a killed process is released with it.
  EXPECT_EQ(PerUserRegistry::WriteString(kKey, u"counter", u"done"), 0);
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"counter"), u"done");
}

}  // namespace
}  // namespace tarvo
