#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarvo::service {

class AttemptLimiter;
class DatabaseConnection;

// The attempts several keys have had with their limiters, read in one query: a
// log-in consults four limiters, and asking the database once for each took a
// round trip apiece. A snapshot; counts made after it are not seen.
//
// Threads: any; runs inside the caller's ServiceDatabase::Read or Write.
class AttemptStanding {
 public:
  using Entry = std::pair<const AttemptLimiter*, std::string>;  // a limiter and one of its keys

  // Reads the counts of `entries` (their limiters must outlive this object).
  AttemptStanding(DatabaseConnection& db, const std::vector<Entry>& entries, int64_t now);

  // Attempts of `key` with `limiter` in its current window (0 when it has none, or
  // when the pair was not among those read).
  int64_t Attempts(const AttemptLimiter& limiter, const std::string& key) const;
  // True while `key` has had fewer than `limiter` allows in its current window.
  bool Allows(const AttemptLimiter& limiter, const std::string& key) const;

 private:
  std::map<Entry, int64_t> attempts_;
};

}  // namespace tarvo::service
