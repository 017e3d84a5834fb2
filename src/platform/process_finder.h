#pragma once

#include <sys/types.h>

#include <string>

namespace tarvo {

// Looks for a running process by executable file name (exact, case-sensitive): the
// base name of its executable, of its first argument, or its kernel name (for a
// script, its own file name). Ended processes that wait to be collected do not count.
// Returns the id of the first match in /proc order, or 0 when none matches or /proc
// can't be read.
// Any thread.
pid_t FindProcessByName(const std::string& executableName);

}  // namespace tarvo
