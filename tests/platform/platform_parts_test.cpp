// The platform layer: text conversion, paths and folders, the per-user registry,
// processes and the crash handler.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/crash_handler.h"
#include "platform/folder_cleaner.h"
#include "platform/paths.h"
#include "platform/per_user_registry.h"
#include "platform/process_finder.h"
#include "platform/program_launcher.h"
#include "platform/runtime_library.h"
#include "platform/text.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

TEST(TextTest, ValidUtf8RoundTripsThroughUtf16) {
  const std::string samples[] = {"", "plain ascii", "caf\xC3\xA9", "\xE4\xB8\xAD\xE6\x96\x87",
                                 "\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2", "\xF0\x9F\x98\x80 emoji",
                                 std::string("nul\0inside", 10)};
  for (const std::string& sample : samples) EXPECT_EQ(WideToUtf8(Utf8ToWide(sample)), sample);
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), (WString{0xD83D, 0xDE00}));
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string input;
    WString expected;
  };
  const Case cases[] = {
      {"\x80", u"\uFFFD"},                          // stray continuation byte
      {"a\xC0\xAF" "b", u"a\uFFFD\uFFFDb"},         // overlong "/" with an illegal lead byte
      {"\xE0\x80\xAF", u"\uFFFD"},                  // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD"},                  // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD"},              // past U+10FFFF
      {"\xE4\xB8", u"\uFFFD"},                      // truncated at the end
      {"\xE4\xB8" "x", u"\uFFFDx"},                 // truncated before an ASCII byte
      {"\xFF\xFE", u"\uFFFD\uFFFD"},                // bytes that never occur
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToWide(c.input), c.expected) << "input bytes: " << c.input.size();
}

TEST(TextTest, UnpairedSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(WideToUtf8(WString{0xD800}), "\xEF\xBF\xBD");
  EXPECT_EQ(WideToUtf8(WString{0xDC00, u'a'}), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(WideToUtf8(WString{0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD");  // reversed pair
}

TEST(TextTest, AsciiToWideReplacesHighBytes) { EXPECT_EQ(AsciiToWide("ok\xE9"), u"ok\uFFFD"); }

using test::ScopedEnv;

// Libraries opened while the program runs (libcurl) fail with a reason that names
// what is missing, never with a call through a null pointer.
TEST(RuntimeLibraryTest, FindsFunctionsAndNamesTheLibraryOrSymbolThatIsMissing) {
  size_t (*length)(const char*) = nullptr;
  RuntimeLibrary missing("libtarvo-absent.so.1");
  EXPECT_FALSE(missing.opened());
  EXPECT_NE(missing.error().find("libtarvo-absent.so.1"), std::string::npos) << missing.error();
  EXPECT_FALSE(missing.Find("strlen", length));

  RuntimeLibrary c("libc.so.6");
  ASSERT_TRUE(c.opened()) << c.error();
  ASSERT_TRUE(c.Find("strlen", length));
  EXPECT_EQ(length("four"), 4U);
  int (*absent)() = nullptr;
  EXPECT_FALSE(c.Find("tarvo_absent_function", absent));
  EXPECT_EQ(absent, nullptr);
  EXPECT_NE(c.error().find("tarvo_absent_function"), std::string::npos) << c.error();
}

TEST(PathsTest, DataAndConfigRootsFollowXdgVariablesOrFallBackToHome) {
  {
    ScopedEnv data("XDG_DATA_HOME", "/srv/data");
    ScopedEnv config("XDG_CONFIG_HOME", "/srv/config/");
    EXPECT_EQ(DataRoot(), "/srv/data/TarvoBrowser/");
    EXPECT_EQ(ConfigRoot(), "/srv/config/TarvoBrowser/");
  }
  // Unset or relative.
  ScopedEnv home("HOME", "/home/someone");
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  ScopedEnv config("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(DataRoot(), "/home/someone/.local/share/TarvoBrowser/");
  EXPECT_EQ(ConfigRoot(), "/home/someone/.config/TarvoBrowser/");
}

TEST(PathsTest, MissingFoldersAreMadePrivateAndExistingOnesKeepTheirModes) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const fs::path existing = dir.path() / "existing";
  fs::create_directory(existing);
  fs::permissions(existing, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  const fs::path deep = existing / "a" / "b" / "TarvoBrowser";
  ASSERT_TRUE(CreatePrivateFolders(deep.string() + "/"));
  ASSERT_TRUE(CreatePrivateFolders(deep.string()));  // again: nothing to do
  for (const fs::path& folder : {existing / "a", existing / "a" / "b", deep}) {
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all) << folder;
  }
  EXPECT_EQ(fs::status(existing).permissions() & fs::perms::all,
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  // A file in the way is not a folder.
  std::ofstream(dir.path() / "file") << "x";
  EXPECT_FALSE(CreatePrivateFolders((dir.path() / "file" / "below").string()));
  EXPECT_FALSE(CreatePrivateFolders(""));
}

namespace fs = std::filesystem;

// What goes and what stays of a folder's files (nested ones, dot entries) is checked
// through exit cleaning, which empties four folders.
TEST(FolderCleanerTest, LinksAreRemovedNotFollowedAndAMissingFolderIsLeftAlone) {
  test::TempDir dir;
  const auto outside = dir.WriteFile("outside/precious", "keep me");
  fs::create_directories(dir.path() / "Cache");
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "Cache" / "link");
  DeleteFolderFiles((dir.path() / "Cache").string());
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_FALSE(fs::exists(dir.path() / "Cache" / "link"));
  // A missing folder, or none named, is left alone.
  DeleteFolderFiles((dir.path() / "missing").string());
  DeleteFolderFiles("");
  EXPECT_TRUE(fs::exists(dir.path()));
}

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

// Runs a copy of sleep under a name of our own, so the lookup has something unique
// to find.
class NamedSleeper {
 public:
  NamedSleeper(const std::filesystem::path& folder, const std::string& name) {
    const auto copy = folder / name;
    std::filesystem::copy_file("/bin/sleep", copy);
    pid_ = fork();
    if (pid_ == 0) {
      execl(copy.c_str(), name.c_str(), "30", static_cast<char*>(nullptr));
      _exit(127);
    }
    // Wait until the child has executed the copy (its executable link points at it).
    for (int i = 0; i < 200; ++i) {
      std::error_code error;
      if (std::filesystem::read_symlink("/proc/" + std::to_string(pid_) + "/exe", error) == copy) break;
      usleep(5000);
    }
  }
  ~NamedSleeper() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

TEST(ProcessFinderTest, FindsARunningProcessByExactNameAndNothingElse) {
  test::TempDir dir;
  const std::string name = "tarvo-installer-" + std::to_string(getpid()) + ".run";  // longer than 15 bytes
  NamedSleeper sleeper(dir.path(), name);
  EXPECT_EQ(FindProcessByName(name), sleeper.pid());
  std::string upper = name;
  upper[0] = 'T';
  EXPECT_EQ(FindProcessByName(upper), 0) << "names are case-sensitive";
  EXPECT_EQ(FindProcessByName(name.substr(0, 15)), 0) << "a prefix is not the name";
  EXPECT_EQ(FindProcessByName("no-such-process-name-anywhere"), 0);
  EXPECT_EQ(FindProcessByName(""), 0);
}

TEST(ProcessFinderTest, AScriptGoesByItsOwnFileNameAndAnEndedProcessNotAtAll) {
  test::TempDir dir;
  const std::string name = "inst" + std::to_string(getpid() % 100000) + ".run";  // under 15 bytes
  const auto script = dir.path() / name;
  // No exec: the shell itself stays the process, its children come and go.
  std::ofstream(script) << "#!/bin/sh\nwhile [ \"$1\" != 0 ]; do sleep 1; done\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const auto start = [&](const char* seconds) {
    const pid_t pid = fork();
    if (pid == 0) {
      execl(script.c_str(), script.c_str(), seconds, static_cast<char*>(nullptr));
      _exit(127);
    }
    return pid;
  };
  // Its executable and first argument name the shell; the kernel names the script.
  const pid_t running = start("30");
  pid_t found = 0;
  for (int i = 0; i < 200 && found == 0; ++i, usleep(5000)) found = FindProcessByName(name);
  EXPECT_EQ(found, running);
  kill(running, SIGKILL);
  waitpid(running, nullptr, 0);
  // Ended but not collected: no longer running.
  const pid_t ended = start("0");
  siginfo_t info{};
  waitid(P_PID, static_cast<id_t>(ended), &info, WEXITED | WNOWAIT);
  EXPECT_EQ(FindProcessByName(name), 0);
  waitpid(ended, nullptr, 0);
}

TEST(ProgramLauncherTest, StartsTheProgramWithItsArgumentsUnquotedAndFailsWithoutOne) {
  test::TempDir dir;
  const auto marker = dir.path() / "marker";
  // Quotes and blanks must reach the program as they are: nothing goes through a shell.
  const std::string odd = "it's \"quoted\" & spaced";
  ASSERT_EQ(LaunchDetached("/bin/sh", {"-c", "printf '%s' \"$1\" > \"$2.tmp\" && mv \"$2.tmp\" \"$2\"", "sh", odd,
                                       marker.string()}),
            0);
  for (int i = 0; i < 400 && !std::filesystem::exists(marker); ++i) usleep(5000);
  std::ifstream in(marker);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, odd);

  EXPECT_EQ(LaunchDetached((dir.path() / "missing").string(), {}), -1);
  const auto plain = dir.WriteFile("plain.txt", "not a program");
  EXPECT_EQ(LaunchDetached(plain.string(), {}), -1);
}

TEST(ProgramLauncherTest, RunAndWaitGivesTheExitStatusFindsProgramsOnThePathAndEndsStragglers) {
  EXPECT_EQ(RunAndWait("true", {}, 10), 0);
  EXPECT_EQ(RunAndWait("sh", {"-c", "exit 3"}, 10), 3);
  EXPECT_EQ(RunAndWait("no-such-program-anywhere", {}, 10), kProgramNotStarted);
  EXPECT_EQ(RunAndWait("sleep", {"30"}, 1), kProgramDidNotFinish);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A page that faults on every access. A store into it is a real memory fault the
// sanitizers do not intercept first (a store through a null pointer is reported and
// stopped on by UBSan before the signal would arrive).
struct ForbiddenPage {
  ForbiddenPage() : address(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) {}
  ~ForbiddenPage() { munmap(address, 4096); }
  ForbiddenPage(const ForbiddenPage&) = delete;
  ForbiddenPage& operator=(const ForbiddenPage&) = delete;
  void* address;
};

[[gnu::noinline]] void CrashByWriteTo(void* address) {
  *static_cast<volatile int*>(address) = 1;  // volatile: the store can be neither dropped nor folded
}

// A fault and an abort both leave a dump (the fault's with its address, written over
// any older dump) and still end the program by their signal.
TEST(CrashHandlerDeathTest, SegfaultAndAbortWriteTheDumpAndStillEndBySignal) {
  const ForbiddenPage page;
  ASSERT_NE(page.address, MAP_FAILED);
  for (const int signal : {SIGSEGV, SIGABRT}) {
    test::TempDir dir;
    const auto dump = dir.path() / "tarvobrowser.dump";
    std::ofstream(dump) << "stale dump from an earlier crash, much longer than the new header";
    EXPECT_EXIT(
        {
          InstallCrashHandler(dump.string());
          signal == SIGSEGV ? CrashByWriteTo(page.address) : abort();
        },
        ::testing::KilledBySignal(signal), "");
    const std::string text = ReadFile(dump);
    std::ostringstream header;
    header << "TarvoBrowser crash\nsignal " << signal << "\n";
    if (signal == SIGSEGV) header << "address " << page.address << "\n";
    EXPECT_EQ(text.rfind(header.str(), 0), 0u) << text;
    EXPECT_NE(text.find("backtrace:"), std::string::npos);
    EXPECT_EQ(text.find("stale dump"), std::string::npos) << "the dump is overwritten, not appended";
  }
}

}  // namespace
}  // namespace tarvo
