#include "platform/program_launcher.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvo {
namespace {

TEST(ProgramLauncherTest, StartsTheProgramWithItsArgumentsUnquoted) {
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
}

TEST(ProgramLauncherTest, MissingOrNonExecutableProgramFails) {
  test::TempDir dir;
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
