#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::service {

// Which ports the nodes' proxies listen on (--proxy-ports).
struct ProxyPortPlan {
  enum class Mode { kNone, kAuto, kSeeded, kListed };
  Mode mode = Mode::kNone;
  std::vector<int> ports;  // kListed: the port of the first, second ... node
};

// The command line of tarvo-service. A value object.
struct ServiceOptions {
  std::string listenAddress = "127.0.0.1";
  int port = 8360;
  std::string dataPath;  // empty: DefaultDataPath()
  std::string seedPath;  // empty: keep the stored data
  ProxyPortPlan proxyPorts;
  // Destinations the proxies may reach besides the front and the mirrors
  // ("ADDRESS:PORT", numeric), and whether they may reach public hosts outside.
  std::vector<std::string> proxyAllow;
  bool proxyOutside = false;
  // The address clients are sent to for downloads ("http://host:port/"); empty:
  // the address the service listens on.
  std::string publicUrl;
  int64_t tokenLifetimeSeconds = 12 * 60 * 60;
  int passwordIterations = 600000;
  int threads = 8;
  size_t maxBodyBytes = 256 * 1024;
  bool quiet = false;  // no request log
  bool showHelp = false;
};

// Parses argv. Returns false with a message for unknown flags and bad values.
bool ParseServiceOptions(int argc, const char* const* argv, ServiceOptions& options, std::string& error);

// The --help text.
std::string ServiceUsage();

// $XDG_DATA_HOME/tarvo-service/service.db (default ~/.local/share/...).
std::string DefaultDataPath();

}  // namespace tarvo::service
