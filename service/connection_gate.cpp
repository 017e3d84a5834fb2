#include "connection_gate.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "service_error.h"
#include "socket_address.h"

namespace tarvo::service {

namespace {

constexpr int kTickMs = 100;

void SetBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK); }

// A short reply to a client that is being dropped; a client too slow to take it
// loses it, the gate never waits.
void SendQuietly(int fd, std::string_view text) {
  if (!text.empty()) {
    [[maybe_unused]] const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  }
}

}  // namespace

ConnectionGate::ConnectionGate(Limits limits, Check check, Handover handover, Replies replies)
    : limits_(limits), check_(std::move(check)), handover_(std::move(handover)), replies_(std::move(replies)) {}

ConnectionGate::~ConnectionGate() {
  Stop();
  for (const int fd : listenFds_) {
    ::close(fd);
  }
}

void ConnectionGate::Listen(int listenFd) {
  ::fcntl(listenFd, F_SETFL, ::fcntl(listenFd, F_GETFL) | O_NONBLOCK);
  listenFds_.push_back(listenFd);
}

void ConnectionGate::Start() {
  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (epollFd_ < 0 || wakeFd_ < 0) {
    throw ServiceError("cannot wait for connections: out of descriptors");
  }
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = wakeFd_;
  ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &event);
  for (const int fd : listenFds_) {
    event.data.fd = fd;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event);
  }
  thread_ = std::thread([this] { Run(); });
}

void ConnectionGate::Stop() {
  if (!thread_.joinable() || stopping_.exchange(true)) {
    return;
  }
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof(one));
  thread_.join();
  waiting_.clear();
  waitingCount_ = 0;
  ::close(epollFd_);
  ::close(wakeFd_);
}

void ConnectionGate::Run() {
  epoll_event events[64];
  while (!stopping_) {
    const int ready = ::epoll_wait(epollFd_, events, 64, kTickMs);
    for (int i = 0; i < ready && !stopping_; ++i) {
      const int fd = events[i].data.fd;
      if (fd == wakeFd_) {
        continue;
      }
      bool listener = false;
      for (const int listenFd : listenFds_) {
        listener = listener || listenFd == fd;
      }
      if (listener) {
        Accept(fd);
      } else if (waiting_.count(fd) != 0) {
        Receive(fd);
      }
    }
    DropExpired();
    if (listenersPaused_ && std::chrono::steady_clock::now() - pausedSince_ >= std::chrono::milliseconds(kTickMs)) {
      PauseListeners(false);
    }
  }
}

void ConnectionGate::PauseListeners(bool pause) {
  if (pause == listenersPaused_) {
    return;
  }
  listenersPaused_ = pause;
  pausedSince_ = std::chrono::steady_clock::now();
  for (const int fd : listenFds_) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(epollFd_, pause ? EPOLL_CTL_DEL : EPOLL_CTL_ADD, fd, &event);
  }
}

void ConnectionGate::Accept(int listenFd) {
  for (;;) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    const int fd = ::accept4(listenFd, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EMFILE || errno == ENFILE) {
        // Out of descriptors: the backlog keeps the rest until one is free. The
        // listeners stay readable meanwhile, so they are left out of the wait until
        // the next tick rather than woken on again and again.
        PauseListeners(true);
      }
      return;
    }
    const std::string peer = NumericHost(address);
    if (waiting_.size() >= limits_.waiting) {
      ::close(fd);
      continue;
    }
    MakeRoomFor(peer);
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.fd = fd;
    if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0) {
      ::close(fd);
      continue;
    }
    waiting_[fd] = Waiting{TcpConnection(fd), peer, std::string(), std::chrono::steady_clock::now()};
    waitingCount_ = waiting_.size();
    // A client usually sends its request with the connection; taking it now keeps
    // a burst of quick clients from filling the waiting room.
    Receive(fd);
  }
}

void ConnectionGate::MakeRoomFor(const std::string& peer) {
  size_t count = 0;
  int oldest = -1;
  for (const auto& [fd, waiting] : waiting_) {
    if (waiting.peer == peer) {
      ++count;
      if (oldest < 0 || waiting.since < waiting_.at(oldest).since) {
        oldest = fd;
      }
    }
  }
  if (count < limits_.perAddress || oldest < 0) {
    return;
  }
  // The oldest may have sent its whole request since the gate last looked (a burst
  // is accepted before any of it is read): take it rather than push it out.
  Receive(oldest);
  if (waiting_.count(oldest) != 0) {
    Drop(oldest, replies_.timedOut);
  }
}

void ConnectionGate::Receive(int fd) {
  Waiting& waiting = waiting_.at(fd);
  char chunk[16 * 1024];
  for (;;) {
    const size_t room = limits_.maxRequestBytes + 1 - waiting.received.size();
    const ssize_t received = ::recv(fd, chunk, std::min(room, sizeof(chunk)), 0);
    if (received > 0) {
      waiting.received.append(chunk, static_cast<size_t>(received));
      if (waiting.received.size() <= limits_.maxRequestBytes) {
        continue;
      }
      break;
    }
    if (received < 0 && errno == EINTR) {
      continue;
    }
    if (received == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
      // The client left (or half-closed) before a whole request arrived; what it
      // sent may still be whole, which the check below decides.
      const Verdict verdict = check_(waiting.received);
      if (verdict.kind != Verdict::Kind::kComplete) {
        Drop(fd, std::string());
        return;
      }
    }
    break;
  }
  const Verdict verdict = check_(waiting.received);
  switch (verdict.kind) {
    case Verdict::Kind::kComplete: {
      ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
      Waiting done = std::move(waiting);
      waiting_.erase(fd);
      waitingCount_ = waiting_.size();
      SetBlocking(fd);
      handover_(std::move(done.connection), done.peer, std::move(done.received));
      return;
    }
    case Verdict::Kind::kRefuse:
      Drop(fd, verdict.reply);
      return;
    case Verdict::Kind::kMore:
      if (waiting.received.size() > limits_.maxRequestBytes) {
        Drop(fd, replies_.tooLarge);
      } else if (verdict.sendContinue && !waiting.continued) {
        waiting.continued = true;
        SendQuietly(fd, "HTTP/1.1 100 Continue\r\n\r\n");
      }
      return;
  }
}

void ConnectionGate::Drop(int fd, std::string_view reply) {
  SendQuietly(fd, reply);
  ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
  waiting_.erase(fd);  // closes the connection
  waitingCount_ = waiting_.size();
}

void ConnectionGate::DropExpired() {
  const auto cutoff = std::chrono::steady_clock::now() - limits_.deadline;
  std::vector<int> expired;
  for (const auto& [fd, waiting] : waiting_) {
    if (waiting.since <= cutoff) {
      expired.push_back(fd);
    }
  }
  for (const int fd : expired) {
    Drop(fd, replies_.timedOut);
  }
}

}  // namespace tarvo::service
