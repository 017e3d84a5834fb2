#include "tls_session.h"

#include <openssl/err.h>

#include <cerrno>

namespace tarvo::service {

TlsSession::~TlsSession() { SSL_free(ssl_); }

TlsSession::Wait TlsSession::WaitFor(int result) {
  switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
      return Wait::kRead;
    case SSL_ERROR_WANT_WRITE:
      return Wait::kWrite;
    case SSL_ERROR_SYSCALL:
      if (errno == EINTR) return Wait::kRead;
      [[fallthrough]];
    default:
      // The error queue is per thread; leave nothing of this client to the next.
      ERR_clear_error();
      return Wait::kFailed;
  }
}

TlsSession::Wait TlsSession::Handshake() {
  if (established_) return Wait::kNone;
  const int result = SSL_accept(ssl_);
  if (result == 1) {
    established_ = true;
    return Wait::kNone;
  }
  return WaitFor(result);
}

long TlsSession::Read(char* buffer, size_t capacity, Wait& wait) {
  size_t read = 0;
  const int result = SSL_read_ex(ssl_, buffer, capacity, &read);
  if (result == 1) {
    wait = Wait::kNone;
    return static_cast<long>(read);
  }
  if (SSL_get_error(ssl_, result) == SSL_ERROR_ZERO_RETURN) {
    wait = Wait::kNone;
    return 0;
  }
  wait = WaitFor(result);
  return -1;
}

long TlsSession::Write(std::string_view data) {
  size_t written = 0;
  const int result = SSL_write_ex(ssl_, data.data(), data.size(), &written);
  if (result == 1) {
    return static_cast<long>(written);
  }
  // A write that has to read first would be a renegotiation, which is refused.
  return WaitFor(result) == Wait::kWrite ? 0 : -1;
}

bool TlsSession::WriteAll(std::string_view data) {
  while (!data.empty()) {
    size_t written = 0;
    const int result = SSL_write_ex(ssl_, data.data(), data.size(), &written);
    if (result != 1) {
      // On a blocking socket a wanted read or write means the send time-out passed.
      ERR_clear_error();
      return false;
    }
    data.remove_prefix(written);
  }
  return true;
}

void TlsSession::SendNow(std::string_view data) {
  size_t written = 0;
  if (established_ && SSL_write_ex(ssl_, data.data(), data.size(), &written) != 1) {
    ERR_clear_error();
  }
}

bool TlsSession::Close() {
  if (!established_) {
    return true;
  }
  const int result = SSL_shutdown(ssl_);
  return result >= 0 || WaitFor(result) != Wait::kWrite;
}

}  // namespace tarvo::service
