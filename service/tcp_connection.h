#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tls_session.h"

namespace tarvo::service {

// One connected TCP socket, closed when the object goes away; with a TLS session,
// what is written and read goes through it. Its calls block unless they say they do
// not wait; over TLS those that do not wait need a non-blocking socket (as accepted
// connections are, until MakeBlocking). Used by one thread at a time, except
// Shutdown, which another thread may call to end a blocked transfer.
class TcpConnection {
 public:
  TcpConnection() = default;
  explicit TcpConnection(int fd) : fd_(fd) {}
  TcpConnection(int fd, std::unique_ptr<TlsSession> tls) : fd_(fd), tls_(std::move(tls)) {}
  ~TcpConnection();
  TcpConnection(TcpConnection&& other) noexcept : fd_(other.fd_), tls_(std::move(other.tls_)) { other.fd_ = -1; }
  TcpConnection& operator=(TcpConnection&& other) noexcept;
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Connects to a numeric IPv4 or IPv6 address within `timeoutMs`; nullopt on failure.
  static std::optional<TcpConnection> Connect(const std::string& address, int port, int timeoutMs);

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // The TLS session, or null for plain TCP.
  TlsSession* tls() const { return tls_.get(); }

  // Sends every byte; false when the peer is gone.
  bool WriteAll(std::string_view data) const;
  // Receives up to `capacity` bytes: the count, 0 at the end of the stream, -1 on
  // error or time-out (or, over TLS, when no whole record is there yet).
  long ReadSome(char* buffer, size_t capacity) const;
  // Makes reads give up after `seconds` without data.
  void SetReadTimeout(int seconds) const;
  // Makes sends give up after `seconds` in which the peer took nothing.
  void SetSendTimeout(int seconds) const;
  // Sends what fits without waiting (a last word to a client being turned away).
  void SendNow(std::string_view data) const;

  // Without waiting, what the peer takes of `data` now: the count, 0 when it takes
  // nothing more now, -1 when the connection failed. After a 0, TLS must be offered
  // the same bytes again, at least as many of them.
  long SendSome(std::string_view data) const;
  // Without waiting, what has arrived (deciphered over TLS), as recv does: the
  // count, 0 at the end of the stream, -1 with errno EAGAIN while nothing (no whole
  // TLS record) is there or another errno on failure. `wantsWrite`: TLS has to send
  // before it reads on, so the socket must become writable first.
  long ReceiveNow(char* buffer, size_t capacity, bool& wantsWrite) const;
  // Without waiting, ends the sending direction (over TLS after a close_notify):
  // false while the socket cannot take the close_notify yet (call again once
  // writable).
  bool EndSending() const;
  // Without waiting, reads and drops what the peer still sends, undeciphered (it is
  // not wanted; reading it keeps a close from resetting the connection): the count,
  // 0 at the end of the stream, -1 when nothing is there (errno EAGAIN) or on
  // failure.
  long Discard(char* scratch, size_t capacity) const;
  // Makes every call wait again, for a thread that waits on the connection itself.
  void MakeBlocking() const;
  // Ends the sending direction (the peer reads end of stream; over TLS after a
  // close_notify).
  void ShutdownWrite() const;
  // Ends both directions; wakes a thread blocked on this socket.
  void Shutdown() const;
  // Bytes written to the socket that the peer has not taken yet (not acknowledged,
  // or not sent): what sits in the system's buffers on the way. 0 when unknown.
  uint64_t Untaken() const;

 private:
  int fd_ = -1;  // owned
  std::unique_ptr<TlsSession> tls_;
};

}  // namespace tarvo::service
