#include "socket_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace tarvo::service {

SocketAddress SocketAddress::FromNumeric(const std::string& address, int port) {
  SocketAddress result;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&result.storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&result.storage);
  if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    result.length = sizeof(sockaddr_in);
  } else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<uint16_t>(port));
    result.length = sizeof(sockaddr_in6);
  }
  return result;
}

std::string NumericHost(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&address)->sin_addr, text, sizeof(text));
  } else if (address.ss_family == AF_INET6) {
    const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(&address)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
      inet_ntop(AF_INET, &v6.s6_addr[12], text, sizeof(text));
    } else {
      inet_ntop(AF_INET6, &v6, text, sizeof(text));
    }
  }
  return text;
}

std::string ClientKey(const std::string& numeric) {
  in6_addr v6{};
  if (inet_pton(AF_INET6, numeric.c_str(), &v6) != 1) {
    return numeric;
  }
  std::fill(std::begin(v6.s6_addr) + 8, std::end(v6.s6_addr), 0);
  char text[INET6_ADDRSTRLEN] = {};
  inet_ntop(AF_INET6, &v6, text, sizeof(text));
  return std::string(text) + "/64";
}

std::string PrefixKey(const std::string& numeric) {
  in_addr v4{};
  if (inet_pton(AF_INET, numeric.c_str(), &v4) == 1) {
    v4.s_addr = htonl(ntohl(v4.s_addr) & 0xffffff00u);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &v4, text, sizeof(text));
    return std::string(text) + "/24";
  }
  in6_addr v6{};
  if (inet_pton(AF_INET6, numeric.c_str(), &v6) != 1) {
    return numeric;
  }
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    char mapped[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &v6.s6_addr[12], mapped, sizeof(mapped));
    return PrefixKey(mapped);
  }
  std::fill(std::begin(v6.s6_addr) + 7, std::end(v6.s6_addr), 0);
  char text[INET6_ADDRSTRLEN] = {};
  inet_ntop(AF_INET6, &v6, text, sizeof(text));
  return std::string(text) + "/56";
}

namespace {

NodeAddress EndOf(int fd, int (*name)(int, sockaddr*, socklen_t*)) {
  sockaddr_storage storage{};
  socklen_t length = sizeof(storage);
  if (name(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    return NodeAddress{};
  }
  const int port = storage.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port)
                                                 : ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
  return NodeAddress{NumericHost(storage), port};
}

}  // namespace

NodeAddress PeerAddress(int fd) { return EndOf(fd, ::getpeername); }

NodeAddress LocalAddress(int fd) { return EndOf(fd, ::getsockname); }

bool IsLoopbackAddress(const std::string& numeric) {
  in_addr v4{};
  if (inet_pton(AF_INET, numeric.c_str(), &v4) == 1) {
    return (ntohl(v4.s_addr) >> 24) == 127;
  }
  in6_addr v6{};
  return inet_pton(AF_INET6, numeric.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

namespace {

bool IsPublicV4(uint32_t a) {
  const auto in = [a](uint32_t network, int bits) { return (a >> (32 - bits)) == (network >> (32 - bits)); };
  return !(in(0x00000000, 8) || in(0x0a000000, 8) || in(0x64400000, 10) || in(0x7f000000, 8) ||
           in(0xa9fe0000, 16) || in(0xac100000, 12) || in(0xc0000000, 24) || in(0xc0000200, 24) ||
           in(0xc0a80000, 16) || in(0xc6120000, 15) || in(0xc6336400, 24) || in(0xcb007100, 24) ||
           in(0xe0000000, 4) || in(0xf0000000, 4));
}

}  // namespace

bool IsPublicAddress(const std::string& numeric) {
  in_addr v4{};
  if (inet_pton(AF_INET, numeric.c_str(), &v4) == 1) {
    return IsPublicV4(ntohl(v4.s_addr));
  }
  in6_addr v6{};
  if (inet_pton(AF_INET6, numeric.c_str(), &v6) != 1) {
    return false;
  }
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    return IsPublicV4((uint32_t{v6.s6_addr[12]} << 24) | (uint32_t{v6.s6_addr[13]} << 16) |
                      (uint32_t{v6.s6_addr[14]} << 8) | v6.s6_addr[15]);
  }
  // Global unicast is 2000::/3, less the documentation range 2001:db8::/32.
  const bool global = (v6.s6_addr[0] & 0xe0) == 0x20;
  const bool documentation = v6.s6_addr[0] == 0x20 && v6.s6_addr[1] == 0x01 && v6.s6_addr[2] == 0x0d &&
                             v6.s6_addr[3] == 0xb8;
  return global && !documentation;
}

int BindListener(const std::string& address, int port) {
  const SocketAddress local = SocketAddress::FromNumeric(address, port);
  if (!local.valid()) {
    errno = EINVAL;
    return -1;
  }
  const int fd = ::socket(local.storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0 ||
      ::bind(fd, local.get(), local.length) != 0 || ::listen(fd, SOMAXCONN) != 0) {
    const int error = errno;
    if (fd >= 0) {
      ::close(fd);
    }
    errno = error;
    return -1;
  }
  return fd;
}

int BoundPort(int fd) { return LocalAddress(fd).port; }

}  // namespace tarvo::service
