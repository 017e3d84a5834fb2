#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "scoped_release.h"

namespace tarvo::service {

// Counts what each client (ClientKey of its address) holds at once, such as
// downloads on their way out or proxy transfers, and refuses one more past a cap,
// so a single client cannot take every place others need.
//
// Threads: any; `mutex_` guards the counts. Slots must not outlive their owner.
class ClientSlots {
 public:
  // One place held by a client; given back when destroyed.
  using Slot = ScopedRelease;

  explicit ClientSlots(size_t perClient) : perClient_(perClient) {}
  ClientSlots(const ClientSlots&) = delete;
  ClientSlots& operator=(const ClientSlots&) = delete;

  // A place for the client at `address` (numeric), or nullopt when it holds its cap.
  std::optional<Slot> Take(const std::string& address);

 private:
  void Give(const std::string& client);

  const size_t perClient_;
  std::mutex mutex_;
  std::map<std::string, size_t> held_;  // by client key; guarded by mutex_
};

}  // namespace tarvo::service
