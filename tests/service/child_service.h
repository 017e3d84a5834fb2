#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tarvo::service::test {

// tarvo-service (the built program beside the test) as a child process, its
// standard output and error read through a pipe. Killed when it goes, unless it
// has ended already.
class ChildService {
 public:
  explicit ChildService(std::vector<std::string> arguments);
  ~ChildService();
  ChildService(const ChildService&) = delete;
  ChildService& operator=(const ChildService&) = delete;

  // Reads output until it contains `text` (true) or 20 s pass or the child ends.
  bool WaitForOutput(const std::string& text);

  // The base address from the "listening on" line ("" when it did not start).
  std::string BaseUrl();
  // The port of that address, and the ports of the first `count` nodes' proxies
  // (fewer when they are not announced within 20 s).
  int Port();
  std::vector<int> ProxyPorts(size_t count);

  void Signal(int signal);
  // Exit code, or 128 + signal number.
  int Wait();

  const std::string& text() const { return text_; }

 private:
  // Reads what the child wrote within `ms`; false once its output has ended.
  bool ReadMore(int ms);

  pid_t pid_ = -1;
  int output_ = -1;
  int exitStatus_ = -1;
  std::string text_;
};

// The demo seed of the source tree.
std::string DemoSeed();

}  // namespace tarvo::service::test
