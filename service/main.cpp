// tarvo-service: the browser's service, run next to the browser and by the tests.

#include <sys/resource.h>

#include <csignal>
#include <iostream>

#include "platform/clock.h"
#include "service_error.h"
#include "service_options.h"
#include "tarvo_service.h"

int main(int argc, char** argv) {
  using namespace tarvo::service;
  ServiceOptions options;
  std::string error;
  if (!ParseServiceOptions(argc, argv, options, error)) {
    std::cerr << "tarvo-service: " << error << "\n\n" << ServiceUsage();
    return 2;
  }
  if (options.showHelp) {
    std::cout << ServiceUsage();
    return 0;
  }

  // Every waiting client, worker connection and proxy tunnel holds a descriptor; the
  // usual soft limit of 1,024 is below what the front alone may keep waiting.
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
  }

  // Blocked before any thread starts, so every thread inherits the mask and the
  // signals wait for sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  TarvoService service(options, &std::cout, [] { return tarvo::NowSeconds(); });
  try {
    service.Start();
  } catch (const std::exception& failure) {
    std::cerr << "tarvo-service: " << failure.what() << std::endl;
    return 1;
  }
  // A proxies-only process has no front: nothing it listens on signs or speaks HTTP.
  if (!options.proxiesOnly) {
    std::cout << "tarvo-service listening on " << service.BaseUrl() << std::endl;
    if (const std::string key = service.SigningKeyHex(); !key.empty()) {
      std::cout << "tarvo-service signs with the public key " << key << std::endl;
    } else {
      std::cerr << "tarvo-service: no --signing-key: version announcements and mirror maps go unsigned, and "
                   "browsers refuse them"
                << std::endl;
    }
    if (options.plainHttp) {
      std::cerr << "tarvo-service: --plain-http: passwords and tokens cross the network readable" << std::endl;
    }
  }
  for (const auto& proxy : service.proxies()) {
    std::cout << "tarvo-service node " << proxy->nodeId() << " proxy on port " << proxy->port() << std::endl;
  }

  int received = 0;
  sigwait(&stopSignals, &received);
  service.Stop();
  std::cout << "tarvo-service stopped" << std::endl;
  return 0;
}
