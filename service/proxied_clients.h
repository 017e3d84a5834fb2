#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "node_addresses.h"
#include "scoped_release.h"
#include "tcp_connection.h"

namespace tarvo::service {

// The connections the nodes' proxies open on behalf of their clients, by their
// own (local) address, with the address of the client each carries. A request
// that reaches the HTTP front through a proxy comes from a loopback address; the
// front asks here who really sent it, so such a request is never taken for one
// made on this machine, and is counted against its client rather than against
// every proxy user at once.
//
// Threads: any; `mutex_` guards the table.
class ProxiedClients {
 public:
  ProxiedClients() = default;
  ProxiedClients(const ProxiedClients&) = delete;
  ProxiedClients& operator=(const ProxiedClients&) = delete;

  // Notes that the connected `upstream` carries the client at `client` until the
  // returned entry goes, which must happen before `upstream` closes (so its
  // address, once free for others, is not mistaken for it).
  ScopedRelease Note(const TcpConnection& upstream, const std::string& client);

  // The client carried by the connection whose local end is `end`, when a proxy
  // opened it; the HTTP front passes the far end of the connection it accepted.
  std::optional<std::string> ClientBehind(const NodeAddress& end) const;

 private:
  static std::string Key(const NodeAddress& end);

  mutable std::mutex mutex_;
  std::map<std::string, std::string> clients_;  // "ip port" → client address; guarded by mutex_
};

}  // namespace tarvo::service
