#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "scoped_release.h"

namespace tarvo::service {

// Counts what each client (ClientKey of its address) and each wider network
// (PrefixKey) holds at once, such as downloads on their way out or proxy
// transfers, and refuses one more past either cap, so neither a single client nor
// a handful of addresses from one network can take every place others need.
//
// Threads: any; `mutex_` guards the counts. Slots must not outlive their owner.
class ClientSlots {
 public:
  // One place held by a client; given back when destroyed.
  using Slot = ScopedRelease;

  struct Caps {
    size_t perClient = 0;
    size_t perPrefix = SIZE_MAX;
  };

  explicit ClientSlots(Caps caps) : caps_(caps) {}
  ClientSlots(const ClientSlots&) = delete;
  ClientSlots& operator=(const ClientSlots&) = delete;

  // A place for the client at `address` (numeric), or nullopt when it or its
  // network holds its cap.
  std::optional<Slot> Take(const std::string& address);
  // A place counted under `key` alone (a credential, say), within `perClient`.
  std::optional<Slot> TakeKey(const std::string& key);

 private:
  void Give(const std::string& key);

  const Caps caps_;
  std::mutex mutex_;
  std::map<std::string, size_t> held_;  // by client, prefix or other key; guarded by mutex_
};

}  // namespace tarvo::service
