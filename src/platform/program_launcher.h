#pragma once

#include <string>
#include <vector>

namespace tarvo {

// Starts a program detached from this process (its own session; never a zombie of
// ours) with the given arguments, not through a shell. Returns 0 once the program has
// been executed, or -1 when it could not be started (missing, not executable). Any
// thread.
int LaunchDetached(const std::string& program, const std::vector<std::string>& arguments);

// RunAndWait's result for a program that could not be started, and for one that
// did not end in time (it is killed then) or died of a signal.
inline constexpr int kProgramNotStarted = -1;
inline constexpr int kProgramDidNotFinish = -2;

// Runs a program found on PATH with the given arguments (not through a shell) and
// waits for it, at most `limitSeconds`. Returns its exit status (0-255), or one of
// the two values above. Blocking; any thread.
int RunAndWait(const std::string& program, const std::vector<std::string>& arguments, int limitSeconds);

}  // namespace tarvo
