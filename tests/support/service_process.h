#pragma once
// tarvo-service (beside the test programs) as a child process on a free loopback port,
// with a seed and a database of the test's own, for the life of the object; its base
// address comes from the first line it prints. It serves HTTPS with a certificate of
// a test CA and signs with a test key, both made at start beside the database.
#include <sys/types.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/test_credentials.h"

namespace tarvo::test {

class ServiceProcess {
 public:
  enum class Transport { kTls, kPlainHttp };

  // `extraArguments` are added to the command line (for example "--proxy-ports auto").
  ServiceProcess(const std::string& program, const std::string& seed, const std::string& database,
                 const std::vector<std::string>& extraArguments = {}, Transport transport = Transport::kTls);
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  // The service beside the test programs (the working directory), or "" when absent.
  static std::string Program();
  // "https://127.0.0.1:<port>/" ("http://" with plain HTTP; with the trailing "/"), or
  // empty when it did not start.
  const std::string& baseUrl() const { return baseUrl_; }
  const TestCredentials& credentials() const { return *credentials_; }
  // Points this process's browser code at the service: its address, test CA and key.
  void UseInThisProcess() const;

 private:
  std::unique_ptr<TestCredentials> credentials_;
  pid_t pid_ = -1;
  FILE* stream_ = nullptr;
  std::string baseUrl_;
};

}  // namespace tarvo::test
