#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "client_slots.h"
#include "tcp_connection.h"

namespace tarvo::service {

// One answer on its way to a client: a text (the head, and a body held in memory),
// then optionally the bytes of an open file, then the end of the sending direction
// (over TLS a close_notify first), sent through the connection (plain or TLS)
// without ever waiting for the client, so whoever sends it can stop whenever the
// client takes no more and go on later. Afterwards the reply may linger: what the
// client still sends is read and dropped for a moment before closing, because
// closing with unread input resets the connection and could destroy the answer
// before the client reads it. Or the connection may serve again: a reply to a
// client that keeps its connection alive leaves the sending direction open and, once
// sent whole, gives the connection to whoever waits for the client's next request.
//
// Move-only; used by one thread at a time.
class OutgoingReply {
 public:
  enum class Progress { kSent, kBlocked, kFailed };

  OutgoingReply(TcpConnection connection, std::string text);
  OutgoingReply(OutgoingReply&& other) noexcept;
  OutgoingReply& operator=(OutgoingReply&& other) noexcept;
  OutgoingReply(const OutgoingReply&) = delete;
  OutgoingReply& operator=(const OutgoingReply&) = delete;
  ~OutgoingReply();

  // Sends the first `size` bytes of the open file `fd` after the text; the reply
  // owns `fd` from now on.
  void AttachFile(int fd, uint64_t size);
  // Keeps the client's place (a download slot) until the reply is done.
  void Hold(ClientSlots::Slot slot) { slot_ = std::move(slot); }
  bool holdsSlot() const { return slot_.held(); }
  void LingerAfterwards() { linger_ = true; }
  bool lingers() const { return linger_; }
  // Once sent whole, the connection goes to `next` (on the thread that finished
  // sending it) instead of closing.
  using NextRequest = std::function<void(TcpConnection connection)>;
  void KeepOpenFor(NextRequest next) { next_ = std::move(next); }
  bool keepsOpen() const { return static_cast<bool>(next_); }
  // Gives the connection to what KeepOpenFor named; only after Send said kSent.
  void HandOnConnection();

  // Sends what the client takes now (of the file about `budget` bytes, read through
  // `scratch`, whose size must be the same at every call): kSent when everything is
  // out and the sending direction ended (or, kept open, everything is out), kBlocked when the client took no more or
  // the budget is used up, kFailed when the connection or file failed.
  Progress Send(std::span<char> scratch, uint64_t budget);

  // Bytes not sent yet, and in all.
  uint64_t remaining() const { return (text_.size() - textSent_) + fileRemaining_; }
  uint64_t size() const { return size_; }
  const TcpConnection& connection() const { return connection_; }

 private:
  TcpConnection connection_;
  std::string text_;
  size_t textSent_ = 0;
  int fileFd_ = -1;  // owned
  uint64_t fileOffset_ = 0;
  uint64_t fileRemaining_ = 0;
  uint64_t size_ = 0;
  bool ended_ = false;  // the sending direction is closed
  bool linger_ = false;
  NextRequest next_;
  ClientSlots::Slot slot_;
};

}  // namespace tarvo::service
