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
  std::string dataPath;     // empty: DefaultDataPath()
  std::string databaseUrl;  // "postgresql://...": a server shared by several processes (not with dataPath)
  std::string seedPath;  // empty: keep the stored data
  ProxyPortPlan proxyPorts;
  // Destinations the proxies may reach besides the front and the mirrors
  // ("ADDRESS:PORT", numeric), and whether they may reach public hosts outside.
  std::vector<std::string> proxyAllow;
  bool proxyOutside = false;
  // Load balancers (numeric addresses) whose X-Forwarded-For names the client.
  std::vector<std::string> forwardedBy;
  // Relays (numeric addresses: --proxies-only processes, balancers with
  // send-proxy-v2) whose PROXY protocol header names the client.
  std::vector<std::string> proxyProtocolFrom;
  // The address clients are sent to for downloads ("https://host:port/"); empty:
  // the address the service listens on.
  std::string publicUrl;
  // The front's certificate chain and private key (PEM files); both empty: plain
  // HTTP, which the command line allows only with --plain-http.
  std::string tlsCertPath;
  std::string tlsKeyPath;
  // A file of TLS ticket keys shared with other processes; empty: keys of its own.
  std::string tlsTicketKeysPath;
  bool plainHttp = false;
  // The brand's Ed25519 private key (PEM) that signs version announcements and mirror
  // maps; empty: replies go unsigned, and browsers refuse them.
  std::string signingKeyPath;
  int64_t tokenLifetimeSeconds = 12 * 60 * 60;
  int passwordIterations = 600000;
  int threads = 8;
  size_t maxBodyBytes = 256 * 1024;
  // Only the nodes' proxies, checking credentials in the database another process
  // answers the API from.
  bool proxiesOnly = false;
  bool quiet = false;  // no request log
  bool showHelp = false;
};

// Parses argv. Returns false with a message for unknown flags and bad values, and
// unless the front is given a certificate and key or told to speak plain HTTP.
bool ParseServiceOptions(int argc, const char* const* argv, ServiceOptions& options, std::string& error);

// The --help text.
std::string ServiceUsage();

// $XDG_DATA_HOME/tarvo-service/service.db (default ~/.local/share/...).
std::string DefaultDataPath();

// Where the options keep the data: the PostgreSQL address, the SQLite file, or the
// default file.
std::string DatabaseLocation(const ServiceOptions& options);

}  // namespace tarvo::service
