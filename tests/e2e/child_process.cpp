#include "e2e/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

extern char** environ;

namespace tarvo::e2e {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment, const std::string& logPath)
    : logPath_(logPath) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto equals = text.find('=');
    if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : environment) {
    if (value == kUnset) {
      merged.erase(name);
    } else {
      merged[name] = value;
    }
  }
  std::vector<std::string> envTexts;
  for (const auto& [name, value] : merged) envTexts.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& text : envTexts) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argTexts = {program};
  argTexts.insert(argTexts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argTexts) argv.push_back(text.data());
  argv.push_back(nullptr);

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
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return status_;
}

std::string ChildProcess::Log() const {
  std::ifstream in(logPath_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

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
