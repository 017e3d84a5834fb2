#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/process_finder.h"
#include "platform/program_launcher.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

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

}  // namespace
}  // namespace tarvo
