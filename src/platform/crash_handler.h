#pragma once

#include <string>

namespace tarvo {

// Installs WriteCrashDump for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT, running on
// its own signal stack so a stack overflow is caught too. `dumpPath` is copied now,
// because nothing may be allocated once a crash is under way. Call once, early, on
// the first thread; later calls replace the path.
void InstallCrashHandler(const std::string& dumpPath);

// The signal handler: writes the signal number, the faulting address and a backtrace
// to the dump file (always overwriting it) using only async-signal-safe calls, then
// restores the default action and re-raises the signal so the process ends as it
// would have without the handler (exit status, core dump settings).
void WriteCrashDump(int signalNumber, void* info, void* context);

}  // namespace tarvo
