#include "proxy_destinations.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "socket_address.h"

namespace tarvo::service {

namespace {

constexpr std::string_view kTestDomain = "tarvo.test";

bool IsTestDomain(const std::string& host) {
  return host == kTestDomain ||
         (host.size() > kTestDomain.size() + 1 && host.compare(host.size() - kTestDomain.size(), std::string::npos,
                                                               kTestDomain) == 0 &&
          host[host.size() - kTestDomain.size() - 1] == '.');
}

// Every address of a name, or empty when it does not resolve.
std::vector<std::string> ResolveName(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::vector<std::string> addresses;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) {
    return addresses;
  }
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    sockaddr_storage storage{};
    std::memcpy(&storage, entry->ai_addr, std::min<size_t>(entry->ai_addrlen, sizeof(storage)));
    addresses.push_back(NumericHost(storage));
  }
  ::freeaddrinfo(found);
  return addresses;
}

// Numeric addresses written as NumericHost writes them, names lower case.
std::vector<NodeAddress> Canonical(std::vector<NodeAddress> entries) {
  for (NodeAddress& entry : entries) {
    const std::string canonical = CanonicalAddress(entry.ip);
    if (!canonical.empty()) {
      entry.ip = canonical;
    } else {
      std::transform(entry.ip.begin(), entry.ip.end(), entry.ip.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
  }
  return entries;
}

}  // namespace

ProxyDestinations::ProxyDestinations(NodeAddress front, std::vector<NodeAddress> allowed, bool outside,
                                     std::vector<NodeAddress> nodes, const LocalAddresses* local)
    : front_(std::move(front)),
      allowed_(Canonical(std::move(allowed))),
      outside_(outside),
      nodes_(Canonical(std::move(nodes))),
      local_(local) {}

bool ProxyDestinations::Allowed(const std::string& numeric, int port) const {
  if (numeric == CanonicalAddress(front_.ip) && port == front_.port) {
    return true;
  }
  for (const NodeAddress& entry : allowed_) {
    if (entry.ip == numeric && entry.port == port) {
      return true;
    }
  }
  return false;
}

bool ProxyDestinations::IsNode(const std::string& host, int port) const {
  return std::any_of(nodes_.begin(), nodes_.end(),
                     [&](const NodeAddress& node) { return node.port == port && node.ip == host; });
}

bool ProxyDestinations::IsOutside(const std::string& numeric) const {
  return IsPublicAddress(numeric) && (local_ == nullptr || !local_->Contains(numeric));
}

std::optional<NodeAddress> ProxyDestinations::Resolve(const std::string& host, int port) const {
  if (IsTestDomain(host)) {
    return front_;
  }
  const std::string numeric = CanonicalAddress(host == "localhost" ? "127.0.0.1" : host);
  if (!numeric.empty()) {
    if (IsNode(numeric, port)) {
      return std::nullopt;
    }
    if (Allowed(numeric, port) || (outside_ && IsOutside(numeric))) {
      return NodeAddress{numeric, port};
    }
    return std::nullopt;
  }
  if (!outside_ || IsNode(host, port)) {
    return std::nullopt;
  }
  const std::vector<std::string> addresses = ResolveName(host);
  for (const std::string& address : addresses) {
    if (!IsOutside(address) || IsNode(CanonicalAddress(address), port)) {
      return std::nullopt;
    }
  }
  if (addresses.empty()) {
    return std::nullopt;
  }
  return NodeAddress{addresses.front(), port};
}

}  // namespace tarvo::service
