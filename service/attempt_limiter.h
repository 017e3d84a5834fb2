#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvo::service {

class DatabaseConnection;

// Counts attempts per key (a client address, an account name, or both) in fixed
// windows of time and says when a key has used up its allowance, so guessing
// passwords or filling the database from one place is slow. The counts live in
// the database, so every process of the service counts the same attempts. They
// are bounded: past `maxKeys` keys of one limiter the window that began first is
// forgotten, so whoever fills the table with fresh keys pushes out old ones,
// never the counts of the keys it is being stopped on right now.
//
// Threads: any; the calls run inside the caller's ServiceDatabase::Read (Allows)
// or Write (all), so a check and its count can be one transaction.
class AttemptLimiter {
 public:
  static constexpr size_t kMaxKeys = 100000;

  // `scope` names this limiter's counts in the shared table.
  AttemptLimiter(std::string scope, int maxAttempts, int64_t windowSeconds, size_t maxKeys = kMaxKeys)
      : scope_(std::move(scope)), maxAttempts_(maxAttempts), windowSeconds_(windowSeconds), maxKeys_(maxKeys) {}

  // True while `key` has had fewer than the allowed attempts in its current window.
  bool Allows(DatabaseConnection& db, const std::string& key, int64_t now) const;
  // Counts one attempt for `key`.
  void Count(DatabaseConnection& db, const std::string& key, int64_t now) const;
  // Forgets `key` (a successful log-in clears its failures).
  void Clear(DatabaseConnection& db, const std::string& key) const;

  // For reading several limiters' counts at once (AttemptStanding): the name of
  // this limiter's counts, the attempts a stored window that began at `startedAt`
  // with `count` stands for at `now` (none once it has run out), and whether that
  // many attempts are still within the allowance.
  const std::string& scope() const { return scope_; }
  int64_t InWindow(int64_t startedAt, int64_t count, int64_t now) const {
    return startedAt > now - windowSeconds_ ? count : 0;
  }
  bool Allows(int64_t attempts) const { return attempts < maxAttempts_; }

 private:
  // Attempts of `key` in its current window (0 when it has none).
  int64_t Attempts(DatabaseConnection& db, const std::string& key, int64_t now) const;

  const std::string scope_;
  const int maxAttempts_;
  const int64_t windowSeconds_;
  const size_t maxKeys_;
};

}  // namespace tarvo::service
