#pragma once

#include <openssl/ssl.h>

#include <memory>
#include <string>

#include "ticket_keys.h"
#include "tls_session.h"

namespace tarvo::service {

// The front's TLS settings: its certificate chain and private key (PEM files), TLS
// 1.2 at least, no renegotiation (a client could make the server work without end),
// OpenSSL's default ciphers, session tickets sealed with TicketKeys (the service's
// own, or those of a file several processes share).
//
// Immutable after construction; Accept may be called from any thread.
class TlsServerContext {
 public:
  // Loads both files and checks that the key belongs to the certificate, and the
  // ticket keys of `ticketKeysPath` when given; throws ServiceError naming the file
  // that failed.
  TlsServerContext(const std::string& certificatePath, const std::string& keyPath,
                   const std::string& ticketKeysPath = "");
  ~TlsServerContext();
  TlsServerContext(const TlsServerContext&) = delete;
  TlsServerContext& operator=(const TlsServerContext&) = delete;

  // The server side of a session on the accepted socket `fd`, not yet shaken hands;
  // null when OpenSSL cannot make one (out of memory).
  std::unique_ptr<TlsSession> Accept(int fd) const;

 private:
  SSL_CTX* context_ = nullptr;  // owned
  std::unique_ptr<TicketKeys> tickets_;
};

}  // namespace tarvo::service
