#pragma once
// tarvo-service (beside the test programs) as a child process on a free loopback port,
// with a seed and a database of the test's own, for the life of the object; its base
// address comes from the first line it prints.
#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tarvo::test {

class ServiceProcess {
 public:
  // `extraArguments` are added to the command line (for example "--proxy-ports auto").
  ServiceProcess(const std::string& program, const std::string& seed, const std::string& database,
                 const std::vector<std::string>& extraArguments = {});
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  // The service beside the test programs (the working directory), or "" when absent.
  static std::string Program();
  // "http://127.0.0.1:<port>/" (with the trailing "/"), or empty when it did not start.
  const std::string& baseUrl() const { return baseUrl_; }

 private:
  pid_t pid_ = -1;
  FILE* stream_ = nullptr;
  std::string baseUrl_;
};

}  // namespace tarvo::test
