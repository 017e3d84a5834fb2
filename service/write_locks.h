#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::service {

class DatabaseConnection;

// Locks that put the writes touching one thing (an account, a client's attempt
// counts) in order, while writes touching different things run side by side, in
// one process or in several sharing a PostgreSQL database. A key names the thing:
// "user:42", "client:192.0.2.7", an attempt limiter's key. Each lock is held until
// the transaction ends.
//
// Take them before reading what the transaction will change: a read-modify-write
// (a favourites document and its next id, an attempt count checked and then
// counted, a user's open VPN connection replaced) is whole only when no other
// writer of the same key ran between its read and its write. Two keys that
// happen to share a lock only wait for each other, never lose a write.
//
// SQLite has one writer at a time already (ServiceDatabase::Write), so there they
// cost nothing and do nothing.
class WriteLocks {
 public:
  // Takes the locks of `keys` inside the current ServiceDatabase::Write, waiting
  // for the writers that hold any of them. All of one transaction's keys are taken
  // in one call, always in the same order, so two writers never wait for each
  // other in a circle.
  static void Take(DatabaseConnection& db, std::vector<std::string> keys);

  // The key of an account's rows: its user row (favourites, VPN allowance), its
  // tokens and its VPN connections.
  static std::string OfUser(int64_t userId) { return "user:" + std::to_string(userId); }
};

}  // namespace tarvo::service
