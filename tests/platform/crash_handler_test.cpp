#include "platform/crash_handler.h"

#include <signal.h>
#include <sys/mman.h>

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
