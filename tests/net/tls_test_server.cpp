#include "net/tls_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>

namespace tarvo::test {

namespace {

struct SslFree {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
  void operator()(SSL* ssl) const { SSL_free(ssl); }
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
  void operator()(X509* certificate) const { X509_free(certificate); }
};

// A self-signed certificate for 127.0.0.1, valid for a day.
std::unique_ptr<SSL_CTX, SslFree> MakeContext() {
  std::unique_ptr<EVP_PKEY, SslFree> key(EVP_EC_gen("P-256"));
  std::unique_ptr<X509, SslFree> certificate(X509_new());
  std::unique_ptr<SSL_CTX, SslFree> context(SSL_CTX_new(TLS_server_method()));
  if (!key || !certificate || !context) throw std::runtime_error("cannot make TLS objects");
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -60);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 86400);
  X509_set_pubkey(certificate.get(), key.get());
  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1,
                             0);
  X509_set_issuer_name(certificate.get(), name);
  if (X509_sign(certificate.get(), key.get(), EVP_sha256()) <= 0 ||
      SSL_CTX_use_certificate(context.get(), certificate.get()) != 1 ||
      SSL_CTX_use_PrivateKey(context.get(), key.get()) != 1) {
    throw std::runtime_error("cannot sign the test certificate");
  }
  return context;
}

}  // namespace

TlsTestServer::TlsTestServer() {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listenFd_, 4) != 0 || getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("TLS server cannot listen");
  }
  port_ = ntohs(address.sin_port);
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
  const std::unique_ptr<SSL_CTX, SslFree> context = MakeContext();
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
