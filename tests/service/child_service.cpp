#include "child_service.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string_view>

namespace tarvo::service::test {

ChildService::ChildService(std::vector<std::string> arguments) {
  const std::string program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tarvo-service";
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    dup2(pipeFds[1], STDERR_FILENO);
    close(pipeFds[0]);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  output_ = pipeFds[0];
}

ChildService::~ChildService() {
  if (pid_ > 0 && exitStatus_ < 0) {
    kill(pid_, SIGKILL);
    Wait();
  }
  if (output_ >= 0) close(output_);
}

bool ChildService::ReadMore(int ms) {
  pollfd waiting{output_, POLLIN, 0};
  if (poll(&waiting, 1, ms) < 0) return false;
  if (waiting.revents == 0) return true;
  char buffer[4096];
  const ssize_t count = read(output_, buffer, sizeof(buffer));
  if (count <= 0) return false;
  text_.append(buffer, static_cast<size_t>(count));
  return true;
}

bool ChildService::WaitForOutput(const std::string& text) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (text_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline || !ReadMore(200)) return text_.find(text) != std::string::npos;
  }
  return true;
}

std::string ChildService::BaseUrl() {
  if (!WaitForOutput("/\n")) return std::string();
  constexpr std::string_view kListening = "listening on ";
  const size_t at = text_.find(kListening);
  if (at == std::string::npos) return std::string();
  const size_t start = at + kListening.size();
  return text_.substr(start, text_.find('\n', start) - start);
}

int ChildService::Port() {
  const std::string base = BaseUrl();
  const size_t colon = base.rfind(':');
  return colon == std::string::npos ? 0 : std::atoi(base.c_str() + colon + 1);
}

std::vector<int> ChildService::ProxyPorts(size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    std::vector<int> ports;
    std::istringstream lines(text_);
    for (std::string line; std::getline(lines, line) && ports.size() < count;) {
      const size_t at = line.find(" proxy on port ");
      if (at != std::string::npos && !lines.eof()) {  // a whole line
        ports.push_back(std::atoi(line.c_str() + at + 15));
      }
    }
    if (ports.size() == count || std::chrono::steady_clock::now() > deadline || !ReadMore(200)) return ports;
  }
}

void ChildService::Signal(int signal) { kill(pid_, signal); }

int ChildService::Wait() {
  int status = 0;
  waitpid(pid_, &status, 0);
  exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return exitStatus_;
}

std::string DemoSeed() { return std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/demo.json"; }

}  // namespace tarvo::service::test
