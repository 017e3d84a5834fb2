#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/unique_fd.h"

namespace tarvo {

// One IPv4 TCP connection of the socket HTTP client, with bounded connect, send and
// receive waits. Failures are thrown as HttpInterfaceError values. Used by one thread.
class SocketConnection {
 public:
  // Resolves `host` (first IPv4 address) and connects to it within `connectMs`,
  // closing any previous connection first; a send that makes no progress for
  // `sendMs` fails. Throws kHttpErrorResolve, kHttpErrorSocket or kHttpErrorConnect.
  void Connect(const std::string& host, uint16_t port, uint32_t connectMs, uint32_t sendMs);
  // Sends every byte; throws kHttpErrorSend.
  void SendAll(std::string_view data);
  // Receives up to `capacity` bytes, waiting at most `waitMs` for the first; 0 means
  // the peer closed the connection. Throws kHttpErrorSocket on an error or when no
  // byte arrived in time (then timedOut() is true).
  size_t Receive(char* buffer, size_t capacity, uint32_t waitMs);
  // True while the open connection has nothing to read and has not been closed by
  // the peer: only then may it carry another request.
  bool Idle() const;
  void Close();

  bool open() const { return fd_.valid(); }
  // The last Receive failed because nothing arrived within its wait.
  bool timedOut() const { return timedOut_; }
  // Dotted-quad text of the last address resolved.
  const std::string& address() const { return address_; }
  // Host and port of the open connection, to decide whether a redirect may reuse it.
  bool ConnectedTo(const std::string& host, uint16_t port) const {
    return open() && host == host_ && port == port_;
  }

 private:
  UniqueFd fd_;
  std::string address_;
  std::string host_;
  uint16_t port_ = 0;
  bool timedOut_ = false;
};

}  // namespace tarvo
