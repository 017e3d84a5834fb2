#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "service_clock.h"

namespace tarvo::service {

class DatabaseConnection;
class ServiceDatabase;

// Open proxy connections: who opened them on which node, and how many seconds of
// connection time they may use. The proxies ask it whether a request's credentials
// belong to an open connection of their node.
//
// A user's connection may last as long as the user's remaining connection time at
// the moment it opened; a user has one open connection at a time (connecting again
// closes the earlier one). The time used is charged when it closes: cancelled,
// replaced, logged out, or found expired by Purge. Each connection records its
// client (ClientKey of the address that opened it), so an anonymous client asking
// again is given its live connection rather than a fresh allowance.
//
// Threads: any; no state of its own beyond the clock, storage serialised by the
// database lock. Open and Close run inside the caller's Write; Admits takes its own
// Read.
class VpnConnections {
 public:
  // Spelling of the proxy user name for anonymous connections.
  static constexpr std::string_view kAnonymousUser = "nobody";

  enum class CloseResult { kClosed, kAlreadyClosed, kUnknown };

  // `db` must outlive this object.
  VpnConnections(ServiceDatabase& db, ServiceClock clock);

  // Opens a connection for `client` and returns its proxy token. `userId` is empty
  // for an anonymous connection. Inside Write.
  std::string Open(DatabaseConnection& db, int64_t nodeId, std::optional<int64_t> userId, std::string_view brand,
                   std::string_view client, int64_t budgetSeconds, int64_t now) const;

  // An open anonymous connection of `client` for `brand` with time left.
  struct Live {
    std::string proxyToken;
    int64_t nodeId = 0;
    int64_t secondsLeft = 0;
  };
  // The newest such connection, if any. Inside Read or Write.
  std::optional<Live> LiveAnonymous(DatabaseConnection& db, std::string_view client, std::string_view brand,
                                    int64_t now) const;

  // Closes the connection with this token if it belongs to `userId` (empty: an
  // anonymous connection) and charges its time. Inside Write.
  CloseResult Close(DatabaseConnection& db, std::string_view proxyToken, std::optional<int64_t> userId,
                    int64_t now) const;

  // Closes and charges every open connection of the user: a new connection takes
  // the place of the old ones (one allowance, one live token), and log-out ends
  // them. Inside Write.
  void CloseAllOf(DatabaseConnection& db, int64_t userId, int64_t now) const;

  // Closes and charges every open connection whose time has run out, and forgets
  // connections closed more than kKeepClosedSeconds ago. Inside Write.
  void Purge(DatabaseConnection& db, int64_t now) const;

  static constexpr int64_t kKeepClosedSeconds = 24 * 60 * 60;

  // True when `user` (a user id, or "nobody") and `proxyToken` name an open
  // connection on `nodeId` that still has time left. Any thread.
  bool Admits(int64_t nodeId, std::string_view user, std::string_view proxyToken) const;

 private:
  ServiceDatabase& db_;
  const ServiceClock clock_;
};

}  // namespace tarvo::service
