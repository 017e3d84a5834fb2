#include "client_slots.h"

#include "socket_address.h"

namespace tarvo::service {

std::optional<ClientSlots::Slot> ClientSlots::Take(const std::string& address) {
  std::string client = ClientKey(address);
  std::lock_guard lock(mutex_);
  size_t& held = held_[client];
  if (held >= perClient_) {
    return std::nullopt;
  }
  ++held;
  return Slot([this, client = std::move(client)] { Give(client); });
}

void ClientSlots::Give(const std::string& client) {
  std::lock_guard lock(mutex_);
  const auto found = held_.find(client);
  if (found != held_.end() && --found->second == 0) {
    held_.erase(found);
  }
}

}  // namespace tarvo::service
