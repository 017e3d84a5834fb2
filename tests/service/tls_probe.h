#pragma once

#include <openssl/ssl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "service/tcp_connection.h"

namespace tarvo::service::test {

// A client's TLS connection to the front on 127.0.0.1, the certificate verified
// against a test CA, for tests that hold a connection the way a hostile client does
// (a request sent, the answer read slowly or never). Blocking; closed when it goes.
class TlsProbe {
 public:
  // Null when the connection or the handshake fails. `before` goes out in clear
  // ahead of the handshake (a relay's PROXY header).
  static std::unique_ptr<TlsProbe> Open(int port, const std::string& caFile, std::string_view before = {});
  ~TlsProbe();
  TlsProbe(const TlsProbe&) = delete;
  TlsProbe& operator=(const TlsProbe&) = delete;

  bool Send(std::string_view data);
  // Up to `capacity` bytes: the count, 0 once the service closed cleanly (its
  // close_notify came), -1 on failure, a close without close_notify, or 10 s
  // without data.
  long Read(char* buffer, size_t capacity);
  // Everything until the service closes ("" when it did not close cleanly).
  std::string ReadAll();
  // One answer, the connection left open (ReadAnswer).
  std::string ReadAnswer();

 private:
  TlsProbe(TcpConnection connection, SSL_CTX* context, SSL* ssl)
      : connection_(std::move(connection)), context_(context), ssl_(ssl) {}

  TcpConnection connection_;
  SSL_CTX* context_;  // owned
  SSL* ssl_;          // owned
};

}  // namespace tarvo::service::test
