#pragma once

#include <cstdio>
#include <string>
#include <sys/types.h>

namespace tarvo::test {

// Runs bin/tarvo-service (on port 0, quiet, cheap password hashing) for the life of
// the object and learns its base address from the first line it prints. Tests skip
// themselves when the program is not built (see Program()).
class ServiceProcess {
 public:
  ServiceProcess(const std::string& program, const std::string& seed, const std::string& database);
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  // The service beside the test programs (the working directory), or "" when absent.
  static std::string Program();
  // "http://127.0.0.1:<port>/" (always ending in "/"), or "" when it did not start.
  const std::string& baseUrl() const { return baseUrl_; }

 private:
  pid_t pid_ = -1;
  FILE* stream_ = nullptr;
  std::string baseUrl_;
};

}  // namespace tarvo::test
