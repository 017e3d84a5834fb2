#pragma once

#include <string>
#include <vector>

namespace tarvo {

// Starts a program detached from this process (its own session; never a zombie of
// ours) with the given arguments, not through a shell. Returns 0 once the program has
// been executed, or -1 when it could not be started (missing, not executable). Any
// thread.
int LaunchDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace tarvo
