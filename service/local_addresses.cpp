#include "local_addresses.h"

#include <ifaddrs.h>
#include <netinet/in.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "socket_address.h"

namespace tarvo::service {

std::string CanonicalAddress(const std::string& numeric) {
  const SocketAddress address = SocketAddress::FromNumeric(numeric, 0);
  return address.valid() ? NumericHost(address.storage) : std::string();
}

LocalAddresses::LocalAddresses() {
  netlink_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (netlink_ >= 0) {
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
    if (::bind(netlink_, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
      ::close(netlink_);
      netlink_ = -1;
    }
  }
  // Read after listening, so a change in between is not missed.
  addresses_ = Read();
  readAt_ = Clock::now();
}

LocalAddresses::LocalAddresses(const std::vector<std::string>& fixed) : follows_(false) {
  for (const std::string& address : fixed) {
    addresses_.insert(CanonicalAddress(address));
  }
}

LocalAddresses::~LocalAddresses() {
  if (netlink_ >= 0) {
    ::close(netlink_);
  }
}

std::set<std::string> LocalAddresses::Read() {
  std::set<std::string> addresses;
  ifaddrs* interfaces = nullptr;
  if (::getifaddrs(&interfaces) != 0) {
    return addresses;
  }
  for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr ||
        (entry->ifa_addr->sa_family != AF_INET && entry->ifa_addr->sa_family != AF_INET6)) {
      continue;
    }
    sockaddr_storage storage{};
    std::memcpy(&storage, entry->ifa_addr,
                entry->ifa_addr->sa_family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
    addresses.insert(NumericHost(storage));
  }
  ::freeifaddrs(interfaces);
  return addresses;
}

void LocalAddresses::RefreshIfChanged() const {
  if (!follows_) {
    return;
  }
  bool changed = false;
  if (netlink_ >= 0) {
    // Any message means an address came or went; what it says is read anew from
    // getifaddrs. A full socket buffer (ENOBUFS) means messages were lost: read too.
    char buffer[8192];
    for (;;) {
      const ssize_t received = ::recv(netlink_, buffer, sizeof(buffer), MSG_DONTWAIT);
      if (received > 0 || (received < 0 && errno == ENOBUFS)) {
        changed = true;
        continue;
      }
      if (received < 0 && errno == EINTR) {
        continue;
      }
      break;
    }
  } else {
    changed = Clock::now() - readAt_ >= kRereadInterval;
  }
  if (changed) {
    addresses_ = Read();
    readAt_ = Clock::now();
  }
}

bool LocalAddresses::Contains(const std::string& numeric) const {
  const std::string canonical = CanonicalAddress(numeric);
  std::lock_guard lock(mutex_);
  RefreshIfChanged();
  return !canonical.empty() && addresses_.count(canonical) != 0;
}

std::set<std::string> LocalAddresses::Current() const {
  std::lock_guard lock(mutex_);
  RefreshIfChanged();
  return addresses_;
}

}  // namespace tarvo::service
