#include "engines/webengine/engine_udp_gate.h"

#include <dlfcn.h>
#include <errno.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace tarvo::cef {

namespace {

std::atomic<bool> gate_closed{false};

// The engine's network stack is all inside this library.
constexpr char kEngineLibrary[] = "libQt6WebEngineCore.so";

bool CalledByEngine(const void* caller) {
  Dl_info info{};
  return dladdr(caller, &info) != 0 && info.dli_fname != nullptr && std::strstr(info.dli_fname, kEngineLibrary);
}

// An internet address off the machine's own link: not multicast (multicast DNS
// names the engine's candidates on the link and must keep answering, or gathering
// never ends).
bool Unicast(const void* address, socklen_t length) {
  if (address == nullptr) return false;  // a connected socket's peer: never a peer connection's
  const auto* generic = static_cast<const sockaddr*>(address);
  if (generic->sa_family == AF_INET && length >= sizeof(sockaddr_in)) {
    return !IN_MULTICAST(ntohl(static_cast<const sockaddr_in*>(address)->sin_addr.s_addr));
  }
  if (generic->sa_family == AF_INET6 && length >= sizeof(sockaddr_in6)) {
    return !IN6_IS_ADDR_MULTICAST(&static_cast<const sockaddr_in6*>(address)->sin6_addr);
  }
  return false;
}

bool Datagram(int fd) {
  int type = 0;
  socklen_t size = sizeof(type);
  return getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 && type == SOCK_DGRAM;
}

// Whether a send of the engine's to `address` is refused now (the cheap tests first).
bool Refused(int fd, const void* address, socklen_t length, const void* caller) {
  return EngineUdpGate::closed() && Unicast(address, length) && Datagram(fd) && CalledByEngine(caller);
}

}  // namespace

void EngineUdpGate::SetClosed(bool closed) { gate_closed.store(closed, std::memory_order_release); }

bool EngineUdpGate::closed() { return gate_closed.load(std::memory_order_acquire); }

}  // namespace tarvo::cef

// Defined here, these three are what every library of the process calls (an
// executable's definition comes before the C library's); each asks the kernel
// directly. A peer connection's datagrams (host candidates' checks, STUN and TURN
// requests) go out through unconnected sockets, each addressed: those the engine
// addresses are refused while the gate is closed, as a network that drops them
// would (the engine counts the error as passing and carries on).
extern "C" __attribute__((visibility("default"))) ssize_t sendto(int fd, const void* buffer, size_t length, int flags,
                                                                 const sockaddr* address, socklen_t size) {
  if (tarvo::cef::Refused(fd, address, size, __builtin_return_address(0))) {
    errno = EACCES;
    return -1;
  }
  return syscall(SYS_sendto, fd, buffer, length, flags, address, size);
}

extern "C" __attribute__((visibility("default"))) ssize_t sendmsg(int fd, const msghdr* message, int flags) {
  // A missing message is the kernel's to refuse (EFAULT), as the C library leaves it.
  if (message != nullptr &&
      tarvo::cef::Refused(fd, message->msg_name, message->msg_namelen, __builtin_return_address(0))) {
    errno = EACCES;
    return -1;
  }
  return syscall(SYS_sendmsg, fd, message, flags);
}

extern "C" __attribute__((visibility("default"))) int sendmmsg(int fd, mmsghdr* messages, unsigned int count,
                                                               int flags) {
  for (unsigned int i = 0; messages != nullptr && i < count; ++i) {
    if (tarvo::cef::Refused(fd, messages[i].msg_hdr.msg_name, messages[i].msg_hdr.msg_namelen,
                            __builtin_return_address(0))) {
      errno = EACCES;
      return -1;
    }
  }
  return static_cast<int>(syscall(SYS_sendmmsg, fd, messages, count, flags));
}
