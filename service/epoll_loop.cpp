#include "epoll_loop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include "service_error.h"

namespace tarvo::service {

EpollLoop::EpollLoop() : epollFd_(::epoll_create1(EPOLL_CLOEXEC)), wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (epollFd_ < 0 || wakeFd_ < 0 || !Watch(wakeFd_, EPOLLIN)) {
    if (epollFd_ >= 0) {
      ::close(epollFd_);
    }
    if (wakeFd_ >= 0) {
      ::close(wakeFd_);
    }
    throw ServiceError("cannot wait for connections: out of descriptors");
  }
}

EpollLoop::~EpollLoop() {
  Stop();
  ::close(epollFd_);
  ::close(wakeFd_);
}

void EpollLoop::Start(Turn turn) {
  thread_ = std::thread([this, turn = std::move(turn)] {
    epoll_event events[64];
    while (!stopping_) {
      const int ready = ::epoll_wait(epollFd_, events, 64, kTickMs);
      bool woken = false;
      int kept = 0;
      for (int i = 0; i < ready; ++i) {
        if (events[i].data.fd == wakeFd_) {
          uint64_t count = 0;
          [[maybe_unused]] const ssize_t read = ::read(wakeFd_, &count, sizeof(count));
          woken = true;
        } else {
          events[kept++] = events[i];
        }
      }
      if (!stopping_) {
        turn(std::span<const epoll_event>(events, static_cast<size_t>(kept)), woken);
      }
    }
  });
  started_ = true;
}

void EpollLoop::Stop() {
  if (!thread_.joinable() || stopping_.exchange(true)) {
    return;
  }
  Wake();
  thread_.join();
}

void EpollLoop::Wake() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof(one));
}

bool EpollLoop::Watch(int fd, uint32_t events) {
  epoll_event event{};
  event.events = events;
  event.data.fd = fd;
  return ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) == 0;
}

void EpollLoop::Change(int fd, uint32_t events) {
  epoll_event event{};
  event.events = events;
  event.data.fd = fd;
  ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &event);
}

void EpollLoop::Forget(int fd) { ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr); }

}  // namespace tarvo::service
