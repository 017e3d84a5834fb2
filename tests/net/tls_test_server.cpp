#include "net/tls_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>

#include "net/loopback_listener.h"

namespace tarvo::test {

namespace {

struct SslFree {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};

}  // namespace

TlsTestServer::TlsTestServer() {
  listenFd_ = ListenOnLoopback(4, port_, "TLS server");
  thread_ = std::thread([this] { Serve(); });
}

TlsTestServer::~TlsTestServer() {
  Wait();
  close(listenFd_);
}

void TlsTestServer::Wait() {
  if (thread_.joinable()) thread_.join();
}

void TlsTestServer::Serve() {
  pollfd waiter{listenFd_, POLLIN, 0};
  if (poll(&waiter, 1, 5000) <= 0) return;
  const int fd = accept(listenFd_, nullptr, nullptr);
  if (fd < 0) return;
  unsigned char first = 0;
  // A TLS handshake record starts with content type 22.
  sawClientHello_ = recv(fd, &first, 1, MSG_PEEK) == 1 && first == 22;
  const std::unique_ptr<SSL_CTX, SslFree> context(SSL_CTX_new(TLS_server_method()));
  SSL_CTX_use_certificate_file(context.get(), credentials_.certificateFile().c_str(), SSL_FILETYPE_PEM);
  SSL_CTX_use_PrivateKey_file(context.get(), credentials_.certificateKeyFile().c_str(), SSL_FILETYPE_PEM);
  const std::unique_ptr<SSL, SslFree> ssl(SSL_new(context.get()));
  SSL_set_fd(ssl.get(), fd);
  if (SSL_accept(ssl.get()) == 1) {
    handshakeCompleted_ = true;
    const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
    SSL_write(ssl.get(), answer, sizeof(answer) - 1);
    SSL_shutdown(ssl.get());
  }
  close(fd);
}

}  // namespace tarvo::test
