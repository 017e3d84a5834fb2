#include "tcp_connection.h"

#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "socket_address.h"

namespace tarvo::service {

TcpConnection::~TcpConnection() {
  tls_.reset();
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

TcpConnection& TcpConnection::operator=(TcpConnection&& other) noexcept {
  if (this != &other) {
    tls_.reset();
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = other.fd_;
    tls_ = std::move(other.tls_);
    other.fd_ = -1;
  }
  return *this;
}

std::optional<TcpConnection> TcpConnection::Connect(const std::string& address, int port, int timeoutMs) {
  const SocketAddress target = SocketAddress::FromNumeric(address, port);
  if (!target.valid()) {
    return std::nullopt;
  }
  TcpConnection connection(::socket(target.storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!connection.valid()) {
    return std::nullopt;
  }
  if (::connect(connection.fd_, target.get(), target.length) != 0) {
    if (errno != EINPROGRESS) {
      return std::nullopt;
    }
    pollfd waiting{connection.fd_, POLLOUT, 0};
    int error = 0;
    socklen_t errorLength = sizeof(error);
    if (::poll(&waiting, 1, timeoutMs) != 1 ||
        ::getsockopt(connection.fd_, SOL_SOCKET, SO_ERROR, &error, &errorLength) != 0 || error != 0) {
      return std::nullopt;
    }
  }
  connection.MakeBlocking();
  const int on = 1;
  ::setsockopt(connection.fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
  return connection;
}

bool TcpConnection::WriteAll(std::string_view data) const {
  if (tls_) {
    return tls_->WriteAll(data);
  }
  while (!data.empty()) {
    const ssize_t sent = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent <= 0) {
      return false;
    }
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

long TcpConnection::ReadSome(char* buffer, size_t capacity) const {
  if (tls_) {
    TlsSession::Wait wait = TlsSession::Wait::kNone;
    return tls_->Read(buffer, capacity, wait);
  }
  for (;;) {
    const ssize_t received = ::recv(fd_, buffer, capacity, 0);
    if (received < 0 && errno == EINTR) {
      continue;
    }
    return received;
  }
}

void TcpConnection::SetReadTimeout(int seconds) const {
  timeval timeout{seconds, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
}

void TcpConnection::SetSendTimeout(int seconds) const {
  timeval timeout{seconds, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
}

void TcpConnection::SendNow(std::string_view data) const {
  if (tls_) {
    tls_->SendNow(data);
    return;
  }
  [[maybe_unused]] const ssize_t sent = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

long TcpConnection::SendSome(std::string_view data) const {
  if (tls_) {
    return tls_->Write(data);
  }
  for (;;) {
    const ssize_t sent = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent >= 0) {
      return sent;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      return 0;
    }
    if (errno != EINTR) {
      return -1;
    }
  }
}

long TcpConnection::ReceiveNow(char* buffer, size_t capacity, bool& wantsWrite) const {
  wantsWrite = false;
  if (!tls_) {
    return ::recv(fd_, buffer, capacity, MSG_DONTWAIT);
  }
  TlsSession::Wait wait = TlsSession::Wait::kNone;
  const long read = tls_->Read(buffer, capacity, wait);
  wantsWrite = wait == TlsSession::Wait::kWrite;
  if (read < 0) {
    errno = wait == TlsSession::Wait::kFailed ? ECONNRESET : EAGAIN;
  }
  return read;
}

bool TcpConnection::EndSending() const {
  if (tls_ && !tls_->Close()) {
    return false;
  }
  ::shutdown(fd_, SHUT_WR);
  return true;
}

long TcpConnection::Discard(char* scratch, size_t capacity) const {
  for (;;) {
    const ssize_t received = ::recv(fd_, scratch, capacity, MSG_DONTWAIT);
    if (received < 0 && errno == EINTR) {
      continue;
    }
    return received;
  }
}

void TcpConnection::MakeBlocking() const { ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK); }

void TcpConnection::ShutdownWrite() const {
  if (tls_) {
    tls_->Close();
  }
  ::shutdown(fd_, SHUT_WR);
}

void TcpConnection::Shutdown() const { ::shutdown(fd_, SHUT_RDWR); }

uint64_t TcpConnection::Untaken() const {
  int queued = 0;
  return ::ioctl(fd_, SIOCOUTQ, &queued) == 0 && queued > 0 ? static_cast<uint64_t>(queued) : 0;
}

}  // namespace tarvo::service
