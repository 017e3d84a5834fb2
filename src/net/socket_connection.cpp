#include "net/socket_connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "net/http_interface_error.h"

namespace tarvo {

namespace {

struct AddrInfoDeleter {
  void operator()(addrinfo* info) const { freeaddrinfo(info); }
};

in_addr ResolveIpv4(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* raw = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &raw) != 0 || raw == nullptr) {
    throw kHttpErrorResolve;
  }
  std::unique_ptr<addrinfo, AddrInfoDeleter> info(raw);
  return reinterpret_cast<const sockaddr_in*>(info->ai_addr)->sin_addr;
}

// Waits up to `timeoutMs` for `events` on `fd`; the events that occurred, 0 on time-out
// or error.
short WaitFor(int fd, short events, uint32_t timeoutMs) {
  pollfd waiter{fd, events, 0};
  int ready = 0;
  do {
    ready = poll(&waiter, 1, static_cast<int>(std::min<uint32_t>(timeoutMs, INT32_MAX)));
  } while (ready < 0 && errno == EINTR);
  return ready > 0 ? waiter.revents : 0;
}

// Waits for a non-blocking connect to finish within `timeoutMs`.
bool FinishConnect(int fd, uint32_t timeoutMs) {
  if (WaitFor(fd, POLLOUT, timeoutMs) == 0) {
    return false;
  }
  int socketError = 0;
  socklen_t length = sizeof(socketError);
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &socketError, &length) == 0 && socketError == 0;
}

}  // namespace

void SocketConnection::Connect(const std::string& host, uint16_t port, uint32_t connectMs, uint32_t sendMs) {
  const in_addr address = ResolveIpv4(host);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
  char text[16];
  std::snprintf(text, sizeof(text), "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
  address_ = text;
  Close();

  UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd.valid()) {
    throw kHttpErrorSocket;
  }
  timeval timeout{static_cast<time_t>(sendMs / 1000), static_cast<suseconds_t>((sendMs % 1000) * 1000)};
  if (setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout)) != 0) {
    throw kHttpErrorSocket;
  }
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr = address;
  if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&target), sizeof(target)) != 0 &&
      (errno != EINPROGRESS || !FinishConnect(fd.get(), connectMs))) {
    throw kHttpErrorConnect;
  }
  // Back to blocking mode: sends are bounded by SO_SNDTIMEO, receives wait in poll.
  const int flags = fcntl(fd.get(), F_GETFL);
  if (flags < 0 || fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    throw kHttpErrorSocket;
  }
  fd_ = std::move(fd);
  host_ = host;
  port_ = port;
}

void SocketConnection::SendAll(std::string_view data) {
  while (!data.empty()) {
    const ssize_t sent = send(fd_.get(), data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent <= 0) {
      throw kHttpErrorSend;
    }
    data.remove_prefix(static_cast<size_t>(sent));
  }
}

size_t SocketConnection::Receive(char* buffer, size_t capacity, uint32_t waitMs) {
  timedOut_ = WaitFor(fd_.get(), POLLIN, waitMs) == 0;
  if (timedOut_) {
    throw kHttpErrorSocket;
  }
  for (;;) {
    const ssize_t received = recv(fd_.get(), buffer, capacity, 0);
    if (received >= 0) {
      return static_cast<size_t>(received);
    }
    if (errno != EINTR) {
      throw kHttpErrorSocket;
    }
  }
}

bool SocketConnection::Idle() const {
  return open() && WaitFor(fd_.get(), POLLIN, 0) == 0;
}

void SocketConnection::Close() {
  fd_.Reset();
  host_.clear();
  port_ = 0;
}

}  // namespace tarvo
