#include "service_options.h"

#include <cstdlib>

#include "field_values.h"
#include "postgres_address.h"
#include "postgres_connection.h"
#include "socket_address.h"

namespace tarvo::service {

namespace {

bool ParsePort(const std::string& text, int& port) {
  const auto value = ParseInteger(text);
  if (!value || *value < 0 || *value > 65535) {
    return false;
  }
  port = static_cast<int>(*value);
  return true;
}

// "auto", "seed", "8371,8372" or "8371-8374".
bool ParseProxyPorts(const std::string& text, ProxyPortPlan& plan) {
  plan.ports.clear();
  if (text == "auto") {
    plan.mode = ProxyPortPlan::Mode::kAuto;
    return true;
  }
  if (text == "seed") {
    plan.mode = ProxyPortPlan::Mode::kSeeded;
    return true;
  }
  plan.mode = ProxyPortPlan::Mode::kListed;
  const size_t dash = text.find('-');
  if (dash != std::string::npos) {
    int first = 0;
    int last = 0;
    if (!ParsePort(text.substr(0, dash), first) || !ParsePort(text.substr(dash + 1), last) || first == 0 ||
        last < first || last - first > 1000) {
      return false;
    }
    for (int port = first; port <= last; ++port) {
      plan.ports.push_back(port);
    }
    return true;
  }
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    int port = 0;
    if (!ParsePort(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), port)) {
      return false;
    }
    plan.ports.push_back(port);
    if (comma == std::string::npos) {
      break;
    }
    start = comma + 1;
  }
  return true;
}

// The comma-separated entries of `text`, each kept when `valid` accepts it; false
// (with `entries` partly filled) at the first one it refuses.
template <class Valid>
bool ParseList(const std::string& text, std::vector<std::string>& entries, Valid valid) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string entry = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!valid(entry)) {
      return false;
    }
    entries.push_back(entry);
    if (comma == std::string::npos) {
      break;
    }
    start = comma + 1;
  }
  return true;
}

// "127.0.0.1:9000,[::1]:9001": numeric addresses with ports, kept as given.
bool ParseDestinations(const std::string& text, std::vector<std::string>& destinations) {
  return ParseList(text, destinations, [](const std::string& entry) {
    const size_t colon = entry.rfind(':');
    int port = 0;
    return colon != std::string::npos && colon != 0 && ParsePort(entry.substr(colon + 1), port) && port != 0;
  });
}

// "127.0.0.1,::1": numeric addresses.
bool ParseAddresses(const std::string& text, std::vector<std::string>& addresses) {
  return ParseList(text, addresses,
                   [](const std::string& entry) { return SocketAddress::FromNumeric(entry, 0).valid(); });
}

// Passwords, tokens and what the browser installs travel over the front: it speaks
// TLS unless the operator says plain HTTP in so many words.
bool CheckTransport(const ServiceOptions& options, std::string& error) {
  if (options.tlsCertPath.empty() != options.tlsKeyPath.empty()) {
    error = "--tls-cert and --tls-key go together";
    return false;
  }
  const bool tls = !options.tlsCertPath.empty();
  if (!tls && !options.tlsTicketKeysPath.empty()) {
    error = "--tls-ticket-keys goes with --tls-cert";
    return false;
  }
  if (tls && options.plainHttp) {
    error = "--plain-http and --tls-cert exclude each other";
    return false;
  }
  if (!tls && !options.plainHttp) {
    error = "give --tls-cert FILE and --tls-key FILE to serve HTTPS, or --plain-http to serve plain HTTP";
    return false;
  }
  return true;
}

bool ParsePositive(const std::string& text, int64_t limit, int64_t& value) {
  const auto parsed = ParseInteger(text);
  if (!parsed || *parsed <= 0 || *parsed > limit) {
    return false;
  }
  value = *parsed;
  return true;
}

}  // namespace

bool ParseServiceOptions(int argc, const char* const* argv, ServiceOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      options.showHelp = true;
      continue;
    }
    if (flag == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (flag == "--proxies-only") {
      options.proxiesOnly = true;
      continue;
    }
    if (flag == "--proxy-outside") {
      options.proxyOutside = true;
      continue;
    }
    if (flag == "--plain-http") {
      options.plainHttp = true;
      continue;
    }
    if (i + 1 >= argc) {
      error = flag.rfind("--", 0) == 0 ? flag + " needs a value" : "unexpected argument " + flag;
      return false;
    }
    const std::string value = argv[++i];
    int64_t number = 0;
    bool valid = true;
    if (flag == "--port") {
      valid = ParsePort(value, options.port);
    } else if (flag == "--listen") {
      options.listenAddress = value;
      valid = !value.empty();
    } else if (flag == "--data") {
      options.dataPath = value;
      valid = !value.empty();
    } else if (flag == "--database") {
      options.databaseUrl = value;
      if (const std::string problem = PostgresAddress::Problem(value); !problem.empty()) {
        error = "invalid value for --database: " + problem;
        return false;
      }
      if (!PostgresConnection::IsAddress(value)) {
        error = "invalid value for --database: " + PostgresAddress::Redacted(value) +
                " (a postgresql:// address is expected)";
        return false;
      }
    } else if (flag == "--seed") {
      options.seedPath = value;
      valid = !value.empty();
    } else if (flag == "--proxy-ports") {
      valid = ParseProxyPorts(value, options.proxyPorts);
    } else if (flag == "--proxy-allow") {
      valid = ParseDestinations(value, options.proxyAllow);
    } else if (flag == "--forwarded-by") {
      valid = ParseAddresses(value, options.forwardedBy);
    } else if (flag == "--proxy-protocol-from") {
      valid = ParseAddresses(value, options.proxyProtocolFrom);
    } else if (flag == "--public-url") {
      valid = value.rfind("http://", 0) == 0 || value.rfind("https://", 0) == 0;
      options.publicUrl = valid && value.back() != '/' ? value + "/" : value;
    } else if (flag == "--tls-cert") {
      options.tlsCertPath = value;
      valid = !value.empty();
    } else if (flag == "--tls-key") {
      options.tlsKeyPath = value;
      valid = !value.empty();
    } else if (flag == "--tls-ticket-keys") {
      options.tlsTicketKeysPath = value;
      valid = !value.empty();
    } else if (flag == "--signing-key") {
      options.signingKeyPath = value;
      valid = !value.empty();
    } else if (flag == "--token-lifetime") {
      valid = ParsePositive(value, int64_t{10} * 365 * 24 * 3600, number);
      options.tokenLifetimeSeconds = number;
    } else if (flag == "--password-iterations") {
      valid = ParsePositive(value, 10'000'000, number);
      options.passwordIterations = static_cast<int>(number);
    } else if (flag == "--threads") {
      valid = ParsePositive(value, 256, number);
      options.threads = static_cast<int>(number);
    } else if (flag == "--max-body") {
      valid = ParsePositive(value, 64 * 1024 * 1024, number);
      options.maxBodyBytes = static_cast<size_t>(number);
    } else {
      error = "unknown option " + flag;
      return false;
    }
    if (!valid) {
      error = "invalid value for " + flag + ": " + value;
      return false;
    }
  }
  if (!options.dataPath.empty() && !options.databaseUrl.empty()) {
    error = "--data and --database name two different databases: give one";
    return false;
  }
  if (options.proxiesOnly && options.proxyPorts.mode == ProxyPortPlan::Mode::kNone) {
    error = "--proxies-only needs --proxy-ports";
    return false;
  }
  // A proxies-only process has no front of its own to choose a transport for.
  return options.showHelp || options.proxiesOnly || CheckTransport(options, error);
}

std::string ServiceUsage() {
  return "Usage: tarvo-service (--tls-cert FILE --tls-key FILE | --plain-http) [options]\n"
         "The browser's service: accounts, VPN nodes and their proxies, protected sites,\n"
         "favourites, version and installer, launch reports.\n"
         "\n"
         "  --tls-cert FILE        the front's certificate chain (PEM), served over TLS 1.2+\n"
         "  --tls-key FILE         the certificate's private key (PEM)\n"
         "  --tls-ticket-keys FILE TLS session ticket keys shared by the processes behind one\n"
         "                         balancer, 80 bytes each (openssl rand 80), the first\n"
         "                         sealing; read again when it changes (default: keys of\n"
         "                         its own, renewed hourly, never written anywhere)\n"
         "  --plain-http           serve plain HTTP instead (loopback tests and demos only:\n"
         "                         passwords and tokens would cross the network readable)\n"
         "  --signing-key FILE     the brand's Ed25519 private key (PEM, 'tarvo-cli keygen');\n"
         "                         signs version announcements and mirror maps, which\n"
         "                         browsers refuse unsigned\n"
         "  --port N               port (default 8360; 0 picks a free port)\n"
         "  --listen ADDRESS       address to listen on (default 127.0.0.1, loopback only)\n"
         "  --data FILE            SQLite file (default $XDG_DATA_HOME/tarvo-service/service.db)\n"
         "  --database URL         a PostgreSQL database (postgresql://USER@HOST:PORT/NAME) that\n"
         "                         several service processes share, instead of a SQLite file\n"
         "  --proxies-only         run only the nodes' proxies (with --proxy-ports), checking\n"
         "                         credentials in the database; another process serves the API,\n"
         "                         --port naming where it serves the test domain's pages in\n"
         "                         plain HTTP (no --tls-cert or --plain-http needed here); it\n"
         "                         names its clients to that front in PROXY protocol headers\n"
         "  --seed FILE            load brands, users, nodes, sites, pages from a JSON seed\n"
         "  --proxy-ports PORTS    run a proxy per node: auto (free ports), seed (the seeded\n"
         "                         ports), a list 8371,8372 or a range 8371-8374 (in node order)\n"
         "  --proxy-allow LIST     more destinations the proxies may reach, as numeric\n"
         "                         ADDRESS:PORT pairs (127.0.0.1:9000,[::1]:9001); by default\n"
         "                         they reach only this service's pages and mirrors\n"
         "  --proxy-outside        let the proxies reach public hosts outside this machine;\n"
         "                         names resolving to loopback, private or link-local\n"
         "                         addresses stay refused\n"
         "  --forwarded-by LIST    load balancers (numeric addresses) trusted to name the client\n"
         "                         in X-Forwarded-For; limits then count that client\n"
         "  --proxy-protocol-from LIST  relays (numeric addresses) trusted to name the client\n"
         "                         in a PROXY protocol v2 header: the hosts of --proxies-only\n"
         "                         processes (which always send one to the front), balancers\n"
         "                         with send-proxy-v2; their clients count as proxied\n"
         "  --public-url URL       address published for installer downloads and icons\n"
         "                         (default: the listening address, https://127.0.0.1:8360/)\n"
         "  --token-lifetime SEC   login token lifetime (default 43200)\n"
         "  --password-iterations N  PBKDF2 iterations for new password records (default 600000;\n"
         "                         older records are upgraded at the next log-in)\n"
         "  --threads N            request threads (default 8)\n"
         "  --max-body BYTES       largest accepted request body (default 262144)\n"
         "  --quiet                no request log on standard output\n"
         "  --help                 this text\n";
}

std::string DefaultDataPath() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (dataHome != nullptr && dataHome[0] == '/') {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr ? home : ".") + "/.local/share";
  }
  return base + "/tarvo-service/service.db";
}

}  // namespace tarvo::service

namespace tarvo::service {

std::string DatabaseLocation(const ServiceOptions& options) {
  if (!options.databaseUrl.empty()) {
    return options.databaseUrl;
  }
  return options.dataPath.empty() ? DefaultDataPath() : options.dataPath;
}

}  // namespace tarvo::service
