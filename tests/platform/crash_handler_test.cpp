#include "platform/crash_handler.h"

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvo {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

[[gnu::noinline]] void CrashByNullWrite() {
  volatile int* volatile nowhere = nullptr;  // both volatile: the store can be neither dropped nor folded
  *nowhere = 1;
}

TEST(CrashHandlerDeathTest, SegfaultWritesTheDumpAndStillEndsBySignal) {
  test::TempDir dir;
  const auto dump = dir.path() / "tarvobrowser.dump";
  std::ofstream(dump) << "stale dump from an earlier crash, much longer than the new header";
  EXPECT_EXIT(
      {
        InstallCrashHandler(dump.string());
        CrashByNullWrite();
      },
      ::testing::KilledBySignal(SIGSEGV), "");
  const std::string text = ReadFile(dump);
  EXPECT_EQ(text.rfind("TarvoBrowser crash\nsignal 11\naddress 0x0\n", 0), 0u) << text;
  EXPECT_NE(text.find("backtrace:"), std::string::npos);
  EXPECT_EQ(text.find("stale dump"), std::string::npos) << "the dump is overwritten, not appended";
}

TEST(CrashHandlerDeathTest, AbortIsCaughtToo) {
  test::TempDir dir;
  const auto dump = dir.path() / "tarvobrowser.dump";
  EXPECT_EXIT(
      {
        InstallCrashHandler(dump.string());
        abort();
      },
      ::testing::KilledBySignal(SIGABRT), "");
  EXPECT_NE(ReadFile(dump).find("signal 6"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
