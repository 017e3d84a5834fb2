#pragma once

#include <sys/epoll.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <thread>

namespace tarvo::service {

// A thread that waits on descriptors with epoll and hands its owner what is ready,
// turn after turn, a turn at least every kTickMs (so the owner can look at its
// clocks) until stopped; Wake makes it take a turn at once.
//
// Threads: Start and Stop on the owner's thread, never Stop on the loop's own;
// Wake on any; Watch, Change and Forget on the loop's thread, or before Start.
class EpollLoop {
 public:
  static constexpr int kTickMs = 100;

  // Called on the loop's thread with the descriptors that are ready (the wake
  // descriptor left out) and whether Wake was called since the last turn.
  using Turn = std::function<void(std::span<const epoll_event> ready, bool woken)>;

  // Throws ServiceError when the system has no descriptors to spare.
  EpollLoop();
  ~EpollLoop();
  EpollLoop(const EpollLoop&) = delete;
  EpollLoop& operator=(const EpollLoop&) = delete;

  void Start(Turn turn);
  // Ends the turns and joins. Idempotent.
  void Stop();
  void Wake();
  // Between Start and Stop. Any thread.
  bool running() const { return started_ && !stopping_; }

  // False when the descriptor cannot be watched.
  bool Watch(int fd, uint32_t events);
  void Change(int fd, uint32_t events);
  void Forget(int fd);

 private:
  int epollFd_ = -1;  // owned
  int wakeFd_ = -1;   // owned
  std::thread thread_;
  std::atomic<bool> started_{false};
  std::atomic<bool> stopping_{false};
};

}  // namespace tarvo::service
