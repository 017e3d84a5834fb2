#pragma once
// A program started for an end-to-end test, with its own environment and its output
// in a file. Ended with SIGKILL when the object goes and it still runs.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::e2e {

class ChildProcess {
 public:
  // The value of an environment entry that removes the variable.
  static constexpr const char* kUnset = "\x01unset";

  // Starts `program` with `arguments`; `environment` entries replace or add to this
  // process's environment (or remove from it, with kUnset). Output (both streams)
  // goes to `logPath`.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment, const std::string& logPath);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  void Signal(int signalNumber) const;
  // The exit status once it ended within `limit` (minus the signal's number when a
  // signal ended it), nullopt when it still runs.
  std::optional<int> WaitForExit(std::chrono::milliseconds limit);
  // The log file's text so far.
  std::string Log() const;
  // The first group of `pattern` in the output so far; nothing while it is not there.
  std::optional<std::string> LogMatch(const std::string& pattern) const;

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
  std::string logPath_;
};

// Polls `condition` every 50 ms until it holds or `limit` passes.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);

}  // namespace tarvo::e2e
