#include "proxied_clients.h"

#include "socket_address.h"

namespace tarvo::service {

std::string ProxiedClients::Key(const NodeAddress& end) { return end.ip + " " + std::to_string(end.port); }

ScopedRelease ProxiedClients::Note(const TcpConnection& upstream, const std::string& client) {
  const NodeAddress local = LocalAddress(upstream.fd());
  if (local.ip.empty()) {
    return ScopedRelease();
  }
  std::string key = Key(local);
  {
    std::lock_guard lock(mutex_);
    clients_[key] = client;
  }
  return ScopedRelease([this, key = std::move(key)] {
    std::lock_guard lock(mutex_);
    clients_.erase(key);
  });
}

std::optional<std::string> ProxiedClients::ClientBehind(const NodeAddress& end) const {
  std::lock_guard lock(mutex_);
  const auto found = clients_.find(Key(end));
  return found == clients_.end() ? std::nullopt : std::optional<std::string>(found->second);
}

}  // namespace tarvo::service
