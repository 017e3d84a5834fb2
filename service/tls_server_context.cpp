#include "tls_server_context.h"

#include <openssl/err.h>

#include <chrono>
#include <csignal>

#include "service_error.h"

namespace tarvo::service {

namespace {

std::string OpenSslReason() {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  char text[256] = "unknown reason";
  if (code != 0) ERR_error_string_n(code, text, sizeof(text));
  return text;
}

}  // namespace

TlsServerContext::TlsServerContext(const std::string& certificatePath, const std::string& keyPath,
                                   const std::string& ticketKeysPath)
    : context_(SSL_CTX_new(TLS_server_method())) {
  if (context_ == nullptr) {
    throw ServiceError("cannot set up TLS: " + OpenSslReason());
  }
  SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
  SSL_CTX_set_options(context_, SSL_OP_NO_RENEGOTIATION | SSL_OP_CIPHER_SERVER_PREFERENCE);
  SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (SSL_CTX_use_certificate_chain_file(context_, certificatePath.c_str()) != 1) {
    const std::string reason = OpenSslReason();
    SSL_CTX_free(context_);
    throw ServiceError("cannot use the TLS certificate " + certificatePath + ": " + reason);
  }
  if (SSL_CTX_use_PrivateKey_file(context_, keyPath.c_str(), SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_check_private_key(context_) != 1) {
    const std::string reason = OpenSslReason();
    SSL_CTX_free(context_);
    throw ServiceError("cannot use the TLS key " + keyPath + " with " + certificatePath + ": " + reason);
  }
  try {
    tickets_ = ticketKeysPath.empty() ? std::make_unique<TicketKeys>() : std::make_unique<TicketKeys>(ticketKeysPath);
  } catch (const ServiceError&) {
    SSL_CTX_free(context_);
    throw;
  }
  tickets_->Install(context_);
  // A ticket is worth keeping while its key can still open it.
  SSL_CTX_set_timeout(context_, static_cast<long>(std::chrono::seconds(2 * TicketKeys::kPeriod).count()));
  // OpenSSL writes to sockets with write(), which raises SIGPIPE when a client has
  // gone; every other send of the service passes MSG_NOSIGNAL for the same reason.
  std::signal(SIGPIPE, SIG_IGN);
}

TlsServerContext::~TlsServerContext() { SSL_CTX_free(context_); }

std::unique_ptr<TlsSession> TlsServerContext::Accept(int fd) const {
  SSL* ssl = SSL_new(context_);
  if (ssl == nullptr || SSL_set_fd(ssl, fd) != 1) {
    SSL_free(ssl);
    ERR_clear_error();
    return nullptr;
  }
  return std::make_unique<TlsSession>(ssl);
}

}  // namespace tarvo::service
