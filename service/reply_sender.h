#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "client_slots.h"
#include "epoll_loop.h"
#include "outgoing_reply.h"

namespace tarvo::service {

// Sends answers for a server without holding its workers. Send writes at once
// what the client takes without waiting; a reply the client does not take whole
// (a large installer, a client that reads slowly or not at all) goes on from the
// sender's own thread, which waits for all of them together. Each reply has an
// overall deadline (`deadline` plus the time its size takes at `slowestRate`), is
// given up once the client has taken next to nothing for `stall`, and once past
// `deadline` is given up as soon as the client has taken less than `slowestRate`
// on average over the reply's whole life (a reader that takes a little now and
// then, just often enough never to stall, is not kept for hours; what waits in the
// system's buffers does not count as taken). A client may have at most `perClient`
// replies on their way at once, its network (PrefixKey) at most `perPrefix`, and
// all together at most `total`. A reply kept open (OutgoingReply::KeepOpenFor) hands
// its connection on once sent whole; one given up is closed.
//
// Threads: Start and Stop on the owner's thread; Reserve and Send on any thread.
// `incomingMutex_` guards the replies handed over; the rest is the sender's thread's.
class ReplySender {
 public:
  struct Limits {
    size_t perClient = 8;
    size_t perPrefix = 32;  // a /24 or /56 fills at most a thirty-second of `total`
    size_t total = 1024;
    std::chrono::milliseconds deadline{30000};
    uint64_t slowestRate = 16 * 1024;  // bytes per second
    std::chrono::milliseconds stall{20000};
    std::chrono::milliseconds linger{2000};  // for replies that linger afterwards
  };

  // Throws ServiceError when the system has no descriptors to spare.
  explicit ReplySender(Limits limits);
  ~ReplySender();
  ReplySender(const ReplySender&) = delete;
  ReplySender& operator=(const ReplySender&) = delete;

  // Starts the sender's thread.
  void Start();
  // Closes every reply still on its way and joins. Idempotent.
  void Stop();

  // A place for one more reply to the client at `address`, taken before a download
  // starts so it can be refused while that is still possible; nullopt at the cap.
  std::optional<ClientSlots::Slot> Reserve(const std::string& address);

  // Sends `reply` to the client at `address`. A reply that cannot go on (the
  // client has its cap of replies on their way, or all places are taken) is
  // dropped and its connection closed.
  void Send(OutgoingReply reply, const std::string& address);

  // Replies on their way now; for tests and figures. Any thread.
  size_t pending() const { return pending_.load(); }

  // What Send sends of a file from the caller's thread before handing over the rest.
  static constexpr uint64_t kCallerBudget = 256 * 1024;

 private:
  using Clock = std::chrono::steady_clock;
  struct Sending {
    OutgoingReply reply;
    Clock::time_point started;
    Clock::time_point deadline;
    Clock::time_point progressed;
    uint64_t remainingAtMark = 0;  // what was left when `progressed` was set
    bool lingering = false;
  };

  void TakeIncoming();
  void Pump(int fd);
  // `sent`: the reply went out whole, so a connection kept open serves again.
  void Finish(int fd, bool sent = false);
  void DropOverdue();
  // Past `deadline`, the reply has averaged less than `slowestRate` since it began.
  bool BelowFloor(const Sending& sending, Clock::time_point now) const;

  const Limits limits_;
  ClientSlots slots_;
  EpollLoop loop_;
  std::atomic<size_t> pending_{0};
  std::mutex incomingMutex_;
  std::vector<OutgoingReply> incoming_;  // guarded by incomingMutex_
  std::map<int, Sending> sending_;       // by descriptor; the sender's thread only
  std::array<char, 64 * 1024> scratch_;  // the sender's thread only
};

}  // namespace tarvo::service
