#include "net/keep_alive_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>

#include "net/loopback_listener.h"

namespace tarvo::test {

KeepAliveServer::KeepAliveServer(bool tls) {
  // OpenSSL writes with write(), which raises SIGPIPE when a client has gone.
  std::signal(SIGPIPE, SIG_IGN);
  if (tls) {
    tls_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_file(tls_, credentials_.certificateFile().c_str(), SSL_FILETYPE_PEM);
    SSL_CTX_use_PrivateKey_file(tls_, credentials_.certificateKeyFile().c_str(), SSL_FILETYPE_PEM);
  }
  listenFd_ = ListenOnLoopback(16, port_, "keep-alive server");
  acceptor_ = std::thread([this] { Accept(); });
}

KeepAliveServer::~KeepAliveServer() {
  stopping_ = true;
  acceptor_.join();
  std::lock_guard lock(mutex_);
  for (const int fd : connections_) {
    shutdown(fd, SHUT_RDWR);
  }
  for (std::thread& server : servers_) {
    server.join();
  }
  for (const int fd : connections_) {
    close(fd);
  }
  close(listenFd_);
  SSL_CTX_free(tls_);
}

void KeepAliveServer::Accept() {
  while (!stopping_) {
    pollfd waiter{listenFd_, POLLIN, 0};
    if (poll(&waiter, 1, 50) <= 0) continue;
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++accepted_;
    std::lock_guard lock(mutex_);
    connections_.push_back(fd);
    servers_.emplace_back([this, fd] { Serve(fd); });
  }
}

void KeepAliveServer::Serve(int fd) {
  const std::unique_ptr<SSL, decltype(&SSL_free)> ssl(tls_ != nullptr ? SSL_new(tls_) : nullptr, &SSL_free);
  if (ssl) {
    SSL_set_fd(ssl.get(), fd);
    if (SSL_accept(ssl.get()) != 1) return;
    resumed_ += SSL_session_reused(ssl.get()) ? 1 : 0;
  }
  const auto receive = [&](char* buffer, size_t capacity) -> long {
    return ssl ? SSL_read(ssl.get(), buffer, static_cast<int>(capacity)) : recv(fd, buffer, capacity, 0);
  };
  const auto send = [&](const std::string& data) {
    return ssl ? SSL_write(ssl.get(), data.data(), static_cast<int>(data.size())) > 0
               : ::send(fd, data.data(), data.size(), MSG_NOSIGNAL) > 0;
  };
  std::string received;
  char chunk[4096];
  for (;;) {
    const size_t end = received.find("\r\n\r\n");
    if (end != std::string::npos) {
      const size_t length = received.find("\r\nContent-Length: ");
      const size_t body = length != std::string::npos && length < end ? std::strtoul(received.c_str() + length + 18, nullptr, 10) : 0;
      if (received.size() >= end + 4 + body) {
        received.erase(0, end + 4 + body);
        if (!send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok")) return;
        continue;
      }
    }
    const long got = receive(chunk, sizeof(chunk));
    if (got <= 0) return;
    received.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace tarvo::test
