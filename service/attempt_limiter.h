#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace tarvo::service {

// Counts attempts per key (a client address, an account name) in fixed windows of
// time and says when a key has used up its allowance, so guessing passwords or
// filling the database from one place is slow. Memory is bounded: past kMaxKeys
// keys, windows that have ended are forgotten, and if that is not enough, all are.
//
// Threads: any; `mutex_` guards the counts.
class AttemptLimiter {
 public:
  static constexpr size_t kMaxKeys = 100000;

  AttemptLimiter(int maxAttempts, int64_t windowSeconds) : maxAttempts_(maxAttempts), windowSeconds_(windowSeconds) {}

  // True while `key` has had fewer than the allowed attempts in its current window.
  bool Allows(const std::string& key, int64_t now);
  // Counts one attempt for `key`.
  void Count(const std::string& key, int64_t now);
  // Forgets `key` (a successful log-in clears its account's failures).
  void Clear(const std::string& key);

 private:
  struct Window {
    int64_t start = 0;
    int attempts = 0;
  };

  const int maxAttempts_;
  const int64_t windowSeconds_;
  std::mutex mutex_;
  std::map<std::string, Window> windows_;
};

}  // namespace tarvo::service
