#include "tarvo_service.h"

#include <iostream>

#include "account_endpoints.h"
#include "api_router.h"
#include "domain_list_endpoint.h"
#include "favorites_endpoints.h"
#include "housekeeping.h"
#include "http_front.h"
#include "json_text.h"
#include "release_endpoints.h"
#include "seed_reader.h"
#include "seed_writer.h"
#include "served_files.h"
#include "service_database.h"
#include "service_error.h"
#include "tls_server_context.h"
#include "vpn_connections.h"
#include "vpn_endpoints.h"

namespace tarvo::service {

namespace {

struct SeededNode {
  int64_t id = 0;
  std::string ip;
  int port = 0;
};

std::vector<SeededNode> LoadNodes(ServiceDatabase& db) {
  return db.Read([](DatabaseConnection& reader) {
    std::vector<SeededNode> nodes;
    auto query = reader.Prepare("SELECT id, ip, port FROM nodes ORDER BY position");
    while (query.Step()) {
      nodes.push_back(SeededNode{query.Int(0), query.Text(1), static_cast<int>(query.Int(2))});
    }
    return nodes;
  });
}

std::vector<std::string> MirrorAddresses(ServiceDatabase& db) {
  return db.Read([](DatabaseConnection& reader) {
    std::vector<std::string> addresses;
    auto query = reader.Prepare("SELECT DISTINCT mirror_address FROM sites WHERE deleted=0 AND mirror_address<>''");
    while (query.Step()) {
      addresses.push_back(query.Text(0));
    }
    return addresses;
  });
}

// "127.0.0.1:9000" or "[::1]:9001" (checked by the option parser).
NodeAddress ParseDestination(const std::string& entry) {
  const size_t colon = entry.rfind(':');
  std::string host = entry.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  return NodeAddress{host, std::stoi(entry.substr(colon + 1))};
}

}  // namespace

TarvoService::TarvoService(ServiceOptions options, std::ostream* log, ServiceClock clock)
    : options_(std::move(options)),
      log_(log),
      clock_(std::move(clock)),
      hasher_(options_.passwordIterations),
      tokens_(options_.tokenLifetimeSeconds) {}

TarvoService::~TarvoService() { Stop(); }

void TarvoService::Start() {
  try {
    if (!options_.signingKeyPath.empty()) {
      std::string error;
      signingKey_ = SigningKey::Load(options_.signingKeyPath, error);
      if (!signingKey_) {
        throw ServiceError(error);
      }
    }
    // A connection per request thread, and two for the proxies' checks and the
    // housekeeping (only PostgreSQL uses more than one).
    db_ = std::make_unique<ServiceDatabase>(DatabaseLocation(options_), static_cast<size_t>(options_.threads) + 2);
    if (!options_.seedPath.empty()) {
      WriteSeed(*db_, ReadSeedFile(options_.seedPath, clock_()), hasher_, clock_());
    }
    connections_ = std::make_unique<VpnConnections>(*db_, clock_);
    if (options_.proxiesOnly) {
      // The API (and its housekeeping) runs in another process on the same
      // database; its front serves the test domain's pages in plain HTTP at the
      // address and port given.
      const NodeAddress front{FrontAddress(), options_.port};
      StartProxies(MirrorAddresses(*db_), front, front);
      return;
    }
    if (!options_.tlsCertPath.empty()) {
      tls_ = std::make_unique<TlsServerContext>(options_.tlsCertPath, options_.tlsKeyPath,
                                                options_.tlsTicketKeysPath);
    } else if (!options_.plainHttp) {
      throw ServiceError("the front needs a TLS certificate and key, or plain HTTP asked for");
    }
    HttpFrontOptions frontOptions;
    frontOptions.listenAddress = options_.listenAddress;
    frontOptions.port = options_.port;
    frontOptions.threads = options_.threads;
    frontOptions.maxBodyBytes = options_.maxBodyBytes;
    frontOptions.tls = tls_.get();
    frontOptions.trustedForwarders = options_.forwardedBy;
    frontOptions.trustedRelays = options_.proxyProtocolFrom;
    front_ = std::make_unique<HttpFront>(frontOptions, options_.quiet ? nullptr : log_, proxied_);
    const std::vector<std::string> mirrors = MirrorAddresses(*db_);
    const int port = front_->Bind(mirrors);
    const NodeAddress front{FrontAddress(), port};
    // The test domain's pages are fetched in plain HTTP, so from the pages address.
    StartProxies(mirrors, front, tls_ ? NodeAddress{"127.0.0.1", front_->pagesPort()} : front);
    NodeAddresses proxyAddresses;
    for (const auto& proxy : proxies_) {
      proxyAddresses[proxy->nodeId()] = NodeAddress{options_.listenAddress, proxy->port()};
    }
    accounts_ = std::make_unique<AccountEndpoints>(*db_, tokens_, hasher_, *connections_, clock_);
    vpn_ = std::make_unique<VpnEndpoints>(*db_, tokens_, *connections_, std::move(proxyAddresses), clock_);
    const std::string publicUrl = options_.publicUrl.empty() ? BaseUrl() : options_.publicUrl;
    const SigningKey* signer = signingKey_ ? &*signingKey_ : nullptr;
    // Mirrors have plain addresses of their own, unless the front listens everywhere
    // and so answers for them on its main address.
    const std::string mirrorScheme = tls_ && options_.listenAddress == "0.0.0.0" ? "https://" : "http://";
    domains_ = std::make_unique<DomainListEndpoint>(*db_, port, mirrorScheme, publicUrl, signer, clock_);
    favorites_ = std::make_unique<FavoritesEndpoints>(*db_, tokens_, clock_);
    release_ = std::make_unique<ReleaseEndpoints>(*db_, clock_, publicUrl, signer);
    router_ = std::make_unique<ApiRouter>(*accounts_, *vpn_, *domains_, *favorites_, *release_);
    files_ = std::make_unique<ServedFiles>(*db_);
    front_->Serve(*router_, *files_, [this] { return ProxyStatusJson(); });
    housekeeping_ = std::make_unique<Housekeeping>(*db_, *connections_, clock_, kHousekeepingInterval);
    housekeeping_->Start();
  } catch (...) {
    Stop();
    throw;
  }
}

void TarvoService::StartProxies(const std::vector<std::string>& mirrors, const NodeAddress& front,
                                const NodeAddress& pages) {
  if (options_.proxyPorts.mode == ProxyPortPlan::Mode::kNone) {
    return;
  }
  ProxyDestinations::Plan plan;
  plan.pages = pages;
  // The mirrors are served on the front's port.
  for (const std::string& mirror : mirrors) {
    plan.own.push_back(NodeAddress{mirror, front.port});
  }
  plan.own.push_back(front);
  for (const std::string& entry : options_.proxyAllow) {
    plan.allowed.push_back(ParseDestination(entry));
  }
  plan.outside = options_.proxyOutside;
  const std::vector<SeededNode> nodes = LoadNodes(*db_);
  std::vector<int> ports;
  for (size_t i = 0; i < nodes.size(); ++i) {
    switch (options_.proxyPorts.mode) {
      case ProxyPortPlan::Mode::kSeeded:
        ports.push_back(nodes[i].port);
        break;
      case ProxyPortPlan::Mode::kListed:
        if (i < options_.proxyPorts.ports.size()) {
          ports.push_back(options_.proxyPorts.ports[i]);
        }
        break;
      default:
        ports.push_back(0);
        break;
    }
  }
  // No proxy leads into another: every node's published address is refused (the
  // proxies of this process listen on this machine, refused as such).
  for (const SeededNode& node : nodes) {
    plan.nodes.push_back(NodeAddress{node.ip, node.port});
  }
  if (options_.proxyOutside) {
    localAddresses_ = std::make_unique<LocalAddresses>();
    plan.local = localAddresses_.get();
  }
  destinations_ = std::make_unique<ProxyDestinations>(std::move(plan));
  for (size_t i = 0; i < ports.size(); ++i) {
    const int port = ports[i];
    const int64_t nodeId = nodes[i].id;
    auto proxy = std::make_unique<ProxyServer>(
        nodeId, options_.listenAddress, port,
        [connections = connections_.get(), nodeId](std::string_view user, std::string_view token) {
          return connections->Admits(nodeId, user, token);
        },
        *destinations_, proxied_, options_.proxiesOnly);
    proxy->Start();
    proxies_.push_back(std::move(proxy));
  }
}

void TarvoService::Stop() {
  if (housekeeping_) {
    housekeeping_->Stop();
  }
  if (front_) {
    front_->Stop();
  }
  for (const auto& proxy : proxies_) {
    proxy->Stop();
  }
}

void TarvoService::Housekeep() const {
  if (housekeeping_) {
    housekeeping_->RunOnce();
  }
}

int TarvoService::port() const { return front_ ? front_->port() : 0; }

std::string TarvoService::FrontAddress() const {
  return options_.listenAddress == "0.0.0.0" ? "127.0.0.1" : options_.listenAddress;
}

std::string TarvoService::BaseUrl() const {
  return (tls_ ? "https://" : "http://") + FrontAddress() + ":" + std::to_string(port()) + "/";
}

const ProxyServer* TarvoService::ProxyOf(int64_t nodeId) const {
  for (const auto& proxy : proxies_) {
    if (proxy->nodeId() == nodeId) {
      return proxy.get();
    }
  }
  return nullptr;
}

std::string TarvoService::ProxyStatusJson() const {
  Json::Value status(Json::arrayValue);
  for (const auto& proxy : proxies_) {
    const ProxyCounts counts = proxy->Counts();
    Json::Value entry(Json::objectValue);
    entry["node_id"] = Json::Int64(proxy->nodeId());
    entry["port"] = proxy->port();
    entry["requests"] = Json::UInt64(counts.requests);
    entry["tunnels"] = Json::UInt64(counts.tunnels);
    entry["auth_refused"] = Json::UInt64(counts.authRefused);
    entry["destination_refused"] = Json::UInt64(counts.destinationRefused);
    entry["upstream_failures"] = Json::UInt64(counts.upstreamFailures);
    status.append(entry);
  }
  return WriteCompactJson(status);
}

}  // namespace tarvo::service
