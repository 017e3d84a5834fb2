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

// The plan with its numeric addresses in CanonicalAddress form.
ProxyDestinations::Plan CanonicalPlan(ProxyDestinations::Plan plan) {
  for (auto* entries : {&plan.own, &plan.allowed, &plan.nodes}) {
    *entries = Canonical(std::move(*entries));
  }
  plan.pages = Canonical(std::vector<NodeAddress>{plan.pages}).front();
  return plan;
}

}  // namespace

ProxyDestinations::ProxyDestinations(Plan plan) : plan_(CanonicalPlan(std::move(plan))) {}

bool ProxyDestinations::Lists(const std::vector<NodeAddress>& entries, const std::string& host, int port) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const NodeAddress& entry) { return entry.port == port && entry.ip == host; });
}

bool ProxyDestinations::IsOutside(const std::string& numeric) const {
  return IsPublicAddress(numeric) && (plan_.local == nullptr || !plan_.local->Contains(numeric));
}

std::optional<ProxyDestinations::Destination> ProxyDestinations::Resolve(const std::string& host, int port) const {
  if (IsTestDomain(host)) {
    return Destination{plan_.pages, true};
  }
  const std::string numeric = CanonicalAddress(host == "localhost" ? "127.0.0.1" : host);
  if (!numeric.empty()) {
    if (Lists(plan_.nodes, numeric, port)) {
      return std::nullopt;
    }
    const bool own = Lists(plan_.own, numeric, port) ||
                     (numeric == plan_.pages.ip && port == plan_.pages.port);
    if (own || Lists(plan_.allowed, numeric, port) || (plan_.outside && IsOutside(numeric))) {
      return Destination{NodeAddress{numeric, port}, own};
    }
    return std::nullopt;
  }
  if (!plan_.outside || Lists(plan_.nodes, host, port)) {
    return std::nullopt;
  }
  const std::vector<std::string> addresses = ResolveName(host);
  for (const std::string& address : addresses) {
    if (!IsOutside(address) || Lists(plan_.nodes, CanonicalAddress(address), port)) {
      return std::nullopt;
    }
  }
  if (addresses.empty()) {
    return std::nullopt;
  }
  return Destination{NodeAddress{addresses.front(), port}, false};
}

}  // namespace tarvo::service
