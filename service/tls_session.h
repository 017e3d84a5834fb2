#pragma once

#include <openssl/ssl.h>

#include <cstddef>
#include <string_view>

namespace tarvo::service {

// The TLS side of one accepted connection: the handshake and reads driven without
// blocking while the connection waits in the gate, then the answer written without
// blocking by whoever sends it. It uses the connection's socket but does not own it.
//
// Threads: one thread at a time (the gate's or a handshaker's, then a worker's, then the
// sender's).
class TlsSession {
 public:
  enum class Wait { kNone, kRead, kWrite, kFailed };

  explicit TlsSession(SSL* ssl) : ssl_(ssl) {}
  ~TlsSession();
  TlsSession(const TlsSession&) = delete;
  TlsSession& operator=(const TlsSession&) = delete;

  bool established() const { return established_; }
  // One step of the server handshake on a non-blocking socket: kNone once it is
  // complete, what the socket must become ready for before the next step, or
  // kFailed (a client that speaks no TLS, a version below 1.2, a refused cipher).
  Wait Handshake();
  // Reads decrypted bytes: the count, 0 when the peer closed, -1 with `wait` saying
  // for what (nothing there yet on a non-blocking socket, or a failure).
  long Read(char* buffer, size_t capacity, Wait& wait);
  // Sends from `data` what goes without waiting (a non-blocking socket): the count,
  // 0 when the socket takes nothing more now, -1 on failure. After a 0 the same
  // bytes must be offered again, at least as many of them: part of them may be
  // enciphered and on its way already.
  long Write(std::string_view data);
  // Sends every byte (a blocking socket, whose send time-out bounds each wait);
  // false when the peer is gone or took nothing for that long.
  bool WriteAll(std::string_view data);
  // Sends what goes without waiting, once established; a last word to a client being
  // turned away.
  void SendNow(std::string_view data);
  // Tells the peer that nothing more comes (close_notify), without waiting for its
  // answer: false while the socket cannot take it yet (call again once writable),
  // true once it is out or cannot be sent at all.
  bool Close();

 private:
  Wait WaitFor(int result);

  SSL* const ssl_;  // owned
  bool established_ = false;
};

}  // namespace tarvo::service
