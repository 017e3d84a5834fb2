#include "platform/crash_handler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace tarvo {

namespace {

constexpr std::array kCrashSignals = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr size_t kMaxPath = 4096;
constexpr int kMaxFrames = 64;

// Written once by InstallCrashHandler before any signal can use it; read only by
// the handler.
char g_dumpPath[kMaxPath] = {};

void WriteText(int fd, const char* text) { (void)!write(fd, text, strlen(text)); }

// Formats without the C library, which may not be safe inside a signal handler.
void WriteNumber(int fd, unsigned long long value, unsigned base) {
  char digits[32];
  int length = 0;
  do {
    digits[length++] = "0123456789abcdef"[value % base];
    value /= base;
  } while (value != 0 && length < 32);
  char out[34];
  int position = 0;
  if (base == 16) {
    out[position++] = '0';
    out[position++] = 'x';
  }
  while (length > 0) {
    out[position++] = digits[--length];
  }
  (void)!write(fd, out, static_cast<size_t>(position));
}

void HandleSignal(int signalNumber, siginfo_t* info, void* context) { WriteCrashDump(signalNumber, info, context); }

}  // namespace

void InstallCrashHandler(const std::string& dumpPath) {
  const size_t length = std::min(dumpPath.size(), kMaxPath - 1);
  std::memcpy(g_dumpPath, dumpPath.data(), length);
  g_dumpPath[length] = '\0';

  // backtrace() loads its unwinder lazily; load it now, not inside the handler.
  void* warmUp[1];
  backtrace(warmUp, 1);

  static std::array<char, 64 * 1024> alternateStack;
  stack_t stack{};
  stack.ss_sp = alternateStack.data();
  stack.ss_size = alternateStack.size();
  sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_sigaction = HandleSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (const int signalNumber : kCrashSignals) {
    sigaction(signalNumber, &action, nullptr);
  }
}

void WriteCrashDump(int signalNumber, void* info, void* /*context*/) {
  const int fd = open(g_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd >= 0) {
    WriteText(fd, "TarvoBrowser crash\nsignal ");
    WriteNumber(fd, static_cast<unsigned long long>(signalNumber), 10);
    if (info != nullptr) {
      WriteText(fd, "\naddress ");
      WriteNumber(fd, reinterpret_cast<unsigned long long>(static_cast<siginfo_t*>(info)->si_addr), 16);
    }
    WriteText(fd, "\npid ");
    WriteNumber(fd, static_cast<unsigned long long>(getpid()), 10);
    WriteText(fd, "\nbacktrace:\n");
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    backtrace_symbols_fd(frames, count, fd);
    fsync(fd);
    close(fd);
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace tarvo
