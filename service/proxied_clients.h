#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "node_addresses.h"
#include "scoped_release.h"
#include "tcp_connection.h"

namespace tarvo::service {

// The connections the nodes' proxies of this process open on behalf of their
// clients, by their own (local) address, with the address of the client each
// carries. A request that reaches the HTTP front through such a proxy comes from a
// loopback address; the front asks here who really sent it when the request is
// handed over to be answered, so such a request is never taken for one made on this
// machine, and is counted against its client rather than against every proxy user
// at once. (A --proxies-only process names its clients to another process's front
// with the PROXY protocol instead.)
//
// An entry outlives its connection by kGrace: a proxy whose client left closes its
// side at once, while the request it carried may still wait to be read and
// answered. Should another connection take the same local address and port within
// that time, it is taken for the same client: never for a local one.
//
// Threads: any; `mutex_` guards the table.
class ProxiedClients {
 public:
  static constexpr std::chrono::seconds kGrace{60};

  ProxiedClients() = default;
  ProxiedClients(const ProxiedClients&) = delete;
  ProxiedClients& operator=(const ProxiedClients&) = delete;

  // Notes that the connected `upstream` carries the client at `client`; the
  // returned entry is to go when `upstream` closes (the note then lasts kGrace).
  ScopedRelease Note(const TcpConnection& upstream, const std::string& client);

  // The client carried by the connection whose local end is `end`, when a proxy
  // opened it; the HTTP front passes the far end of the connection it accepted.
  std::optional<std::string> ClientBehind(const NodeAddress& end) const;
  // False while no connection was noted for kGrace: nothing to look up.
  bool Any() const { return entries_.load(std::memory_order_relaxed) != 0; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Entry {
    std::string client;
    bool open = true;
    Clock::time_point closedAt;
  };

  static std::string Key(const NodeAddress& end);
  // Forgets entries closed longer than kGrace. Under mutex_.
  void ForgetExpired(Clock::time_point now);

  mutable std::mutex mutex_;
  std::map<std::string, Entry> clients_;  // "ip port" → client; guarded by mutex_
  Clock::time_point sweptAt_;             // guarded by mutex_
  std::atomic<size_t> entries_{0};        // clients_.size(), written under mutex_
};

}  // namespace tarvo::service
