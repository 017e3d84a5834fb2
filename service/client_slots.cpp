#include "client_slots.h"

#include "socket_address.h"

namespace tarvo::service {

std::optional<ClientSlots::Slot> ClientSlots::Take(const std::string& address) {
  std::string client = ClientKey(address);
  std::string prefix = PrefixKey(address);
  std::lock_guard lock(mutex_);
  const auto clientHeld = held_.find(client);
  const auto prefixHeld = held_.find(prefix);
  if ((clientHeld != held_.end() && clientHeld->second >= caps_.perClient) ||
      (prefixHeld != held_.end() && prefixHeld->second >= caps_.perPrefix) || caps_.perClient == 0 ||
      caps_.perPrefix == 0) {
    return std::nullopt;
  }
  ++held_[client];
  ++held_[prefix];
  return Slot([this, client = std::move(client), prefix = std::move(prefix)] {
    Give(client);
    Give(prefix);
  });
}

std::optional<ClientSlots::Slot> ClientSlots::TakeKey(const std::string& key) {
  std::lock_guard lock(mutex_);
  size_t& held = held_[key];
  if (held >= caps_.perClient) {
    if (held == 0) {
      held_.erase(key);
    }
    return std::nullopt;
  }
  ++held;
  return Slot([this, key] { Give(key); });
}

void ClientSlots::Give(const std::string& key) {
  std::lock_guard lock(mutex_);
  const auto found = held_.find(key);
  if (found != held_.end() && --found->second == 0) {
    held_.erase(found);
  }
}

}  // namespace tarvo::service
