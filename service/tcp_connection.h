#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::service {

// One connected TCP socket, closed when the object goes away. Used by one thread at
// a time, except Shutdown, which another thread may call to end a blocked transfer.
class TcpConnection {
 public:
  TcpConnection() = default;
  explicit TcpConnection(int fd) : fd_(fd) {}
  ~TcpConnection();
  TcpConnection(TcpConnection&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  TcpConnection& operator=(TcpConnection&& other) noexcept;
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Connects to a numeric IPv4 or IPv6 address within `timeoutMs`; nullopt on failure.
  static std::optional<TcpConnection> Connect(const std::string& address, int port, int timeoutMs);

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Sends every byte; false when the peer is gone.
  bool WriteAll(std::string_view data) const;
  // Receives up to `capacity` bytes: the count, 0 at the end of the stream, -1 on
  // error or time-out.
  long ReadSome(char* buffer, size_t capacity) const;
  // Makes reads give up after `seconds` without data.
  void SetReadTimeout(int seconds) const;
  // Makes sends give up after `seconds` in which the peer took nothing.
  void SetSendTimeout(int seconds) const;
  // Sends what fits without waiting (a last word to a client being turned away).
  void SendNow(std::string_view data) const;
  // Ends the sending direction (the peer reads end of stream).
  void ShutdownWrite() const;
  // Ends both directions; wakes a thread blocked on this socket.
  void Shutdown() const;

 private:
  int fd_ = -1;  // owned
};

}  // namespace tarvo::service
