#include "proxied_clients.h"

#include "socket_address.h"

namespace tarvo::service {

std::string ProxiedClients::Key(const NodeAddress& end) { return end.ip + " " + std::to_string(end.port); }

void ProxiedClients::ForgetExpired(Clock::time_point now) {
  // Once a second at most: the table is swept while proxies note connections.
  if (now - sweptAt_ < std::chrono::seconds(1)) {
    return;
  }
  sweptAt_ = now;
  std::erase_if(clients_, [now](const auto& entry) {
    return !entry.second.open && now - entry.second.closedAt >= kGrace;
  });
  entries_ = clients_.size();
}

ScopedRelease ProxiedClients::Note(const TcpConnection& upstream, const std::string& client) {
  const NodeAddress local = LocalAddress(upstream.fd());
  if (local.ip.empty()) {
    return ScopedRelease();
  }
  std::string key = Key(local);
  {
    std::lock_guard lock(mutex_);
    ForgetExpired(Clock::now());
    clients_[key] = Entry{client};
    entries_ = clients_.size();
  }
  return ScopedRelease([this, key = std::move(key), client] {
    std::lock_guard lock(mutex_);
    const auto found = clients_.find(key);
    // Unless a newer connection on the same address took the entry over meanwhile.
    if (found != clients_.end() && found->second.open && found->second.client == client) {
      found->second.open = false;
      found->second.closedAt = Clock::now();
    }
  });
}

std::optional<std::string> ProxiedClients::ClientBehind(const NodeAddress& end) const {
  std::lock_guard lock(mutex_);
  const auto found = clients_.find(Key(end));
  if (found == clients_.end() || (!found->second.open && Clock::now() - found->second.closedAt >= kGrace)) {
    return std::nullopt;
  }
  return found->second.client;
}

}  // namespace tarvo::service
