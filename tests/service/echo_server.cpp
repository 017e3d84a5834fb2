#include "echo_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "service/socket_address.h"
#include "service/tcp_connection.h"

namespace tarvo::service::test {

EchoServer::EchoServer() : listenFd_(BindListener("127.0.0.1", 0)) {
  port_ = listenFd_ >= 0 ? BoundPort(listenFd_) : 0;
  thread_ = std::thread([this] { Run(); });
}

EchoServer::~EchoServer() {
  stopping_ = true;
  ::shutdown(listenFd_, SHUT_RDWR);
  thread_.join();
  ::close(listenFd_);
}

std::string EchoServer::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void EchoServer::Run() {
  while (!stopping_) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    const TcpConnection connection(fd);
    char chunk[4096];
    for (;;) {
      pollfd ready{fd, POLLIN, 0};
      if (stopping_ || ::poll(&ready, 1, 200) < 0) return;
      if (ready.revents == 0) continue;
      const long count = connection.ReadSome(chunk, sizeof(chunk));
      if (count <= 0 || !connection.WriteAll(std::string_view(chunk, static_cast<size_t>(count)))) break;
      std::lock_guard lock(mutex_);
      received_.append(chunk, static_cast<size_t>(count));
    }
  }
}

}  // namespace tarvo::service::test
