#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "net/signing_key.h"
#include "node_addresses.h"
#include "password_hasher.h"
#include "proxied_clients.h"
#include "proxy_server.h"
#include "service_clock.h"
#include "service_options.h"
#include "token_authority.h"

namespace tarvo::service {

class AccountEndpoints;
class ApiRouter;
class DomainListEndpoint;
class FavoritesEndpoints;
class Housekeeping;
class HttpFront;
class ReleaseEndpoints;
class ServedFiles;
class ServiceDatabase;
class TlsServerContext;
class VpnConnections;
class VpnEndpoints;

// The whole service in one object: storage, seed, endpoints, HTTP front and the
// nodes' proxies. main() runs one; tests run one in-process on a free port.
//
// Threads: Start and Stop on the owner's thread; between them requests and proxy
// clients are served on the front's and the proxies' own threads.
class TarvoService {
 public:
  // `log` receives the request log (may be null) and must outlive the object.
  TarvoService(ServiceOptions options, std::ostream* log, ServiceClock clock);
  ~TarvoService();
  TarvoService(const TarvoService&) = delete;
  TarvoService& operator=(const TarvoService&) = delete;

  // Opens the database, applies the seed, starts the proxies and the front (only
  // the proxies with --proxies-only).
  // Throws ServiceError (with a message for people) when any of it fails; whatever
  // had started is stopped again.
  void Start();
  // Stops the front and the proxies. Idempotent.
  void Stop();

  // The port the front listens on, and its base address ("https://127.0.0.1:8360/",
  // "http://..." with plain HTTP).
  int port() const;
  std::string BaseUrl() const;

  // The running proxies, in node order.
  const std::vector<std::unique_ptr<ProxyServer>>& proxies() const { return proxies_; }
  // The proxy of one node, or null.
  const ProxyServer* ProxyOf(int64_t nodeId) const;

  // The public half of the key the service signs with (hex), or "" when it signs
  // nothing.
  std::string SigningKeyHex() const { return signingKey_ ? signingKey_->PublicKeyHex() : std::string(); }

  // The proxies' counters as JSON text (served at "/status/proxies").
  std::string ProxyStatusJson() const;

  // One round of the scheduled clean-up now (tests; the schedule runs it every
  // kHousekeepingInterval).
  void Housekeep() const;

  static constexpr std::chrono::seconds kHousekeepingInterval{60};

 private:
  // The proxies may reach the front (and the mirrors on its port); test-domain
  // requests through them go to `pages`, where the front serves them in plain HTTP.
  void StartProxies(const std::vector<std::string>& mirrors, const NodeAddress& front, const NodeAddress& pages);
  // The front's address as a client on this machine reaches it.
  std::string FrontAddress() const;

  const ServiceOptions options_;
  std::ostream* const log_;  // not owned
  const ServiceClock clock_;
  const PasswordHasher hasher_;
  const TokenAuthority tokens_;
  ProxiedClients proxied_;
  std::optional<SigningKey> signingKey_;
  std::unique_ptr<TlsServerContext> tls_;
  std::unique_ptr<ServiceDatabase> db_;
  std::unique_ptr<VpnConnections> connections_;
  std::unique_ptr<HttpFront> front_;
  std::unique_ptr<LocalAddresses> localAddresses_;  // with --proxy-outside
  std::unique_ptr<ProxyDestinations> destinations_;
  std::vector<std::unique_ptr<ProxyServer>> proxies_;
  std::unique_ptr<AccountEndpoints> accounts_;
  std::unique_ptr<VpnEndpoints> vpn_;
  std::unique_ptr<DomainListEndpoint> domains_;
  std::unique_ptr<FavoritesEndpoints> favorites_;
  std::unique_ptr<ReleaseEndpoints> release_;
  std::unique_ptr<ApiRouter> router_;
  std::unique_ptr<ServedFiles> files_;
  std::unique_ptr<Housekeeping> housekeeping_;
};

}  // namespace tarvo::service
