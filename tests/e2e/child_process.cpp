#include "e2e/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <thread>

#include "e2e/display.h"

extern char** environ;

namespace tarvo::e2e {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment, const std::string& logPath)
    : logPath_(logPath) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (const auto at = text.find('='); at != std::string::npos) merged[text.substr(0, at)] = text.substr(at + 1);
  }
  for (const auto& [name, value] : environment) merged[name] = value;
  std::erase_if(merged, [](const auto& entry) { return entry.second == kUnset; });
  std::vector<std::string> envTexts, argTexts{program};
  for (const auto& [name, value] : merged) envTexts.push_back(name + "=" + value);
  argTexts.insert(argTexts.end(), arguments.begin(), arguments.end());
  // Built in this process: between fork and exec only async-signal-safe calls are safe.
  const auto pointers = [](std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
  };
  std::vector<char*> envp = pointers(envTexts), argv = pointers(argTexts);

  const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(log);
}

ChildProcess::~ChildProcess() {
  if (running()) {
    kill(pid_, SIGKILL);
    WaitForExit(std::chrono::seconds(10));
  }
}

bool ChildProcess::running() { return pid_ > 0 && !WaitForExit(std::chrono::milliseconds(0)).has_value(); }

void ChildProcess::Signal(int signalNumber) const {
  if (pid_ > 0) kill(pid_, signalNumber);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!status_.has_value() && pid_ > 0) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return status_;
}

std::string ChildProcess::Log() const { return ReadFile(logPath_); }

std::optional<std::string> ChildProcess::LogMatch(const std::string& pattern) const {
  const std::string log = Log();
  std::smatch match;
  if (!std::regex_search(log, match, std::regex(pattern))) return std::nullopt;
  return match[1].str();  // copied while the text it points into still exists
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace tarvo::e2e
