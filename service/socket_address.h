#pragma once

#include <sys/socket.h>

#include <string>

#include "node_addresses.h"

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

// The numeric host of an IPv4 or IPv6 socket address ("127.0.0.1", "::1"); an IPv4
// address mapped into IPv6 is given in its IPv4 form.
std::string NumericHost(const sockaddr_storage& address);

// The part of a client's numeric address that one party holds: an IPv4 address
// whole, the /64 network of an IPv6 address ("2001:db8:1:2::/64"), since one
// subscriber is given a whole /64 and could otherwise take a fresh address for every
// attempt. Per-client caps and counters are kept under this key.
std::string ClientKey(const std::string& numeric);

// The wider network a client's address lies in, which one party may hold whole: an
// IPv4 address's /24 ("192.0.2.0/24") and an IPv6 address's /56 ("2001:db8:1:200::/56",
// what many providers give one subscriber; a /56 holds 256 /64 "clients"). Caps
// per prefix keep a handful of such networks from taking every place.
std::string PrefixKey(const std::string& numeric);

// The far end of a connected socket, and its own end; an empty `ip` when unknown.
NodeAddress PeerAddress(int fd);
NodeAddress LocalAddress(int fd);

// True for a numeric address on this machine's loopback (127.0.0.0/8, ::1).
bool IsLoopbackAddress(const std::string& numeric);

// True for a numeric address that belongs to the public internet: false for
// loopback, private (10/8, 172.16/12, 192.168/16, fc00::/7), link-local
// (169.254/16, fe80::/10), carrier-grade NAT, unspecified, multicast and reserved
// addresses, and for text that is not a numeric address.
bool IsPublicAddress(const std::string& numeric);

// A listening TCP socket on a numeric address (port 0: a free port), or -1 with
// errno set. Its backlog is the system's largest, so a burst of hundreds of clients
// waits in the kernel instead of having its connections retried a second later.
int BindListener(const std::string& address, int port);

// The local port of a bound socket.
int BoundPort(int fd);

}  // namespace tarvo::service
