#include "proxy_destinations.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
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

bool IsNumeric(const std::string& host) { return SocketAddress::FromNumeric(host, 0).valid(); }

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

}  // namespace

ProxyDestinations::ProxyDestinations(NodeAddress front, std::vector<NodeAddress> allowed, bool outside)
    : front_(std::move(front)), allowed_(std::move(allowed)), outside_(outside) {}

bool ProxyDestinations::Allowed(const std::string& numeric, int port) const {
  if (numeric == front_.ip && port == front_.port) {
    return true;
  }
  for (const NodeAddress& entry : allowed_) {
    if (entry.ip == numeric && entry.port == port) {
      return true;
    }
  }
  return false;
}

std::optional<NodeAddress> ProxyDestinations::Resolve(const std::string& host, int port) const {
  if (IsTestDomain(host)) {
    return front_;
  }
  const std::string numeric = host == "localhost" ? "127.0.0.1" : host;
  if (IsNumeric(numeric)) {
    if (Allowed(numeric, port) || (outside_ && IsPublicAddress(numeric))) {
      return NodeAddress{numeric, port};
    }
    return std::nullopt;
  }
  if (!outside_) {
    return std::nullopt;
  }
  const std::vector<std::string> addresses = ResolveName(host);
  for (const std::string& address : addresses) {
    if (!IsPublicAddress(address)) {
      return std::nullopt;
    }
  }
  if (addresses.empty()) {
    return std::nullopt;
  }
  return NodeAddress{addresses.front(), port};
}

}  // namespace tarvo::service
