#include "platform/process_finder.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

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
      if (std::filesystem::read_symlink("/proc/" + std::to_string(pid_) + "/exe", error) == copy) {
        break;
      }
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

TEST(ProcessFinderTest, FindsARunningProcessByExactName) {
  test::TempDir dir;
  const std::string name = "tarvo-installer-" + std::to_string(getpid()) + ".run";  // longer than 15 bytes
  NamedSleeper sleeper(dir.path(), name);
  EXPECT_EQ(FindProcessByName(name), sleeper.pid());
  std::string upper = name;
  upper[0] = 'T';
  EXPECT_EQ(FindProcessByName(upper), 0) << "names are case-sensitive";
  EXPECT_EQ(FindProcessByName(name.substr(0, 15)), 0) << "a prefix is not the name";
}

TEST(ProcessFinderTest, NoMatchOrEmptyNameGivesZero) {
  EXPECT_EQ(FindProcessByName("no-such-process-name-anywhere"), 0);
  EXPECT_EQ(FindProcessByName(""), 0);
}

}  // namespace
}  // namespace tarvo
