#pragma once

#include <sys/socket.h>

#include <string>

namespace tarvo::service {

// A numeric IPv4 or IPv6 address with a port, ready for bind or connect.
struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;

  // Nullopt-like: `length` stays 0 when `address` is not a numeric address.
  static SocketAddress FromNumeric(const std::string& address, int port);
  bool valid() const { return length != 0; }
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

}  // namespace tarvo::service
