#include "connection_gate.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "proxy_protocol.h"
#include "socket_address.h"

namespace tarvo::service {

namespace {

constexpr uint32_t kReadable = EPOLLIN | EPOLLRDHUP;

// Whether the client has sent bytes the gate has not read yet. A gate that is behind
// (a burst of TLS handshakes keeps it busy) must not take its own delay for the
// client's silence.
bool HasUnread(int fd) {
  char byte = 0;
  return ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
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

void ConnectionGate::Listen(int listenFd, const TlsServerContext* tls) {
  ::fcntl(listenFd, F_SETFL, ::fcntl(listenFd, F_GETFL) | O_NONBLOCK);
  listenFds_.push_back(listenFd);
  if (tls != nullptr) {
    tlsOf_[listenFd] = tls;
  }
}

void ConnectionGate::Start() {
  for (const int fd : listenFds_) {
    loop_.Watch(fd, EPOLLIN);
  }
  for (size_t i = 0; i < limits_.handshakers; ++i) {
    shakers_.emplace_back([this] { Shake(); });
  }
  loop_.Start([this](std::span<const epoll_event> ready, bool woken) { Turn(ready, woken); });
}

void ConnectionGate::Stop() {
  loop_.Stop();
  {
    std::lock_guard lock(shakeMutex_);
    shakersStopping_ = true;
  }
  shakeReady_.notify_all();
  for (std::thread& shaker : shakers_) {
    shaker.join();
  }
  shakers_.clear();
  toShake_.clear();
  shaken_.clear();
  away_ = 0;
  waiting_.clear();
  waitingCount_ = 0;
  std::lock_guard lock(returningMutex_);
  returning_.clear();
}

void ConnectionGate::ShakeElsewhere(int fd) {
  loop_.Forget(fd);
  Shaking step{fd, std::move(waiting_.at(fd))};
  waiting_.erase(fd);
  ++away_;
  {
    std::lock_guard lock(shakeMutex_);
    toShake_.push_back(std::move(step));
  }
  shakeReady_.notify_one();
}

void ConnectionGate::Shake() {
  for (;;) {
    std::unique_lock lock(shakeMutex_);
    shakeReady_.wait(lock, [this] { return shakersStopping_ || !toShake_.empty(); });
    if (shakersStopping_) {
      return;
    }
    Shaking step = std::move(toShake_.front());
    toShake_.pop_front();
    lock.unlock();
    step.wait = step.waiting.connection.tls()->Handshake();
    lock.lock();
    shaken_.push_back(std::move(step));
    lock.unlock();
    loop_.Wake();
  }
}

void ConnectionGate::TakeShaken() {
  std::vector<Shaking> taken;
  {
    std::lock_guard lock(shakeMutex_);
    taken.swap(shaken_);
  }
  for (Shaking& step : taken) {
    --away_;
    const bool writable = step.wait == TlsSession::Wait::kWrite;
    if (step.wait == TlsSession::Wait::kFailed ||
        !loop_.Watch(step.fd, writable ? EPOLLOUT | EPOLLRDHUP : kReadable)) {
      continue;  // closes it
    }
    // The handshake went a step on: the client is not silent.
    step.waiting.heard = Clock::now();
    step.waiting.awaitsWritable = writable;
    waiting_[step.fd] = std::move(step.waiting);
    if (step.wait == TlsSession::Wait::kNone) {
      Receive(step.fd);  // the request may have come with the handshake's end
    }
  }
  waitingCount_ = waiting_.size() + away_;
}

void ConnectionGate::Readopt(TcpConnection connection, std::string peer, std::optional<std::string> relayed,
                             size_t answered) {
  {
    std::lock_guard lock(returningMutex_);
    if (!loop_.running()) {
      return;  // closes it
    }
    returning_.push_back(Returning{std::move(connection), std::move(peer), std::move(relayed), answered});
  }
  loop_.Wake();
}

void ConnectionGate::TakeReturning() {
  std::vector<Returning> taken;
  {
    std::lock_guard lock(returningMutex_);
    taken.swap(returning_);
  }
  for (Returning& back : taken) {
    const int fd = back.connection.fd();
    if (waiting_.size() + away_ >= limits_.waiting) {
      PushOutIdlest();
    }
    if (!loop_.Watch(fd, kReadable)) {
      continue;  // closes it
    }
    const auto now = Clock::now();
    const std::string client = ClientKey(back.relayed.value_or(back.peer));
    Waiting& waiting = waiting_[fd] = Waiting{std::move(back.connection), std::move(back.peer), client, std::string(),
                                              now, now};
    waiting.relayed = std::move(back.relayed);
    waiting.answered = back.answered;
    waiting.idle = true;
    waitingCount_ = waiting_.size() + away_;
    // The next request may be here already (or deciphered and held by TLS, which
    // the socket's readiness would not tell).
    Receive(fd);
  }
}

void ConnectionGate::Turn(std::span<const epoll_event> ready, bool woken) {
  if (woken) {
    TakeReturning();
    TakeShaken();
  }
  for (const epoll_event& event : ready) {
    const int fd = event.data.fd;
    if (std::find(listenFds_.begin(), listenFds_.end(), fd) != listenFds_.end()) {
      Accept(fd);
    } else if (waiting_.count(fd) != 0) {
      Receive(fd);
    }
  }
  DropExpired();
  TrimClients();
  if (listenersPaused_ && Clock::now() - pausedSince_ >= std::chrono::milliseconds(EpollLoop::kTickMs)) {
    PauseListeners(false);
  }
}

void ConnectionGate::PauseListeners(bool pause) {
  if (pause == listenersPaused_) {
    return;
  }
  listenersPaused_ = pause;
  pausedSince_ = Clock::now();
  for (const int fd : listenFds_) {
    if (pause) {
      loop_.Forget(fd);
    } else {
      loop_.Watch(fd, EPOLLIN);
    }
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
    if (waiting_.size() + away_ >= limits_.waiting) {
      // The room is full: the connection silent the longest makes room, so a crowd
      // of idle connections cannot keep a client that has a request out.
      PushOutIdlest();
    }
    const auto tls = tlsOf_.find(listenFd);
    TcpConnection connection(fd, tls != tlsOf_.end() ? tls->second->Accept(fd) : nullptr);
    if ((tls != tlsOf_.end() && connection.tls() == nullptr) || !loop_.Watch(fd, kReadable)) {
      continue;  // closes it
    }
    const std::string peer = NumericHost(address);
    const auto now = Clock::now();
    Waiting& waiting = waiting_[fd] = Waiting{std::move(connection), peer, ClientKey(peer), std::string(), now, now};
    waiting.mayRelay = std::find(limits_.relays.begin(), limits_.relays.end(), peer) != limits_.relays.end();
    waitingCount_ = waiting_.size() + away_;
    // A client usually sends its request with the connection; taking it now keeps
    // a burst of quick clients from filling the waiting room.
    Receive(fd);
  }
}

void ConnectionGate::PushOutIdlest() {
  int idlest = -1;
  Clock::time_point heard = Clock::time_point::max();
  for (const auto& [fd, waiting] : waiting_) {
    if (waiting.heard < heard) {
      idlest = fd;
      heard = waiting.heard;
    }
  }
  if (idlest >= 0) {
    Drop(idlest, replies_.timedOut);
  }
}

void ConnectionGate::TrimClients() {
  const auto settled = Clock::now() - limits_.settle;
  std::map<std::string, std::vector<std::pair<Clock::time_point, int>>> byClient;  // (heard, fd)
  for (const auto& [fd, waiting] : waiting_) {
    if (waiting.since <= settled) {
      byClient[waiting.client].emplace_back(waiting.heard, fd);
    }
  }
  for (auto& [client, connections] : byClient) {
    if (connections.size() > limits_.perAddress) {
      std::erase_if(connections, [](const auto& connection) { return HasUnread(connection.second); });
    }
    if (connections.size() > limits_.perAddress) {
      std::sort(connections.begin(), connections.end());  // the silent longest first
      for (size_t i = 0; i + limits_.perAddress < connections.size(); ++i) {
        Drop(connections[i].second, replies_.timedOut);
      }
    }
  }
}

bool ConnectionGate::ShakeHands(int fd, Waiting& waiting) {
  const TlsSession::Wait wait = waiting.connection.tls()->Handshake();
  if (wait == TlsSession::Wait::kFailed) {
    Drop(fd, std::string());
    return false;
  }
  // The handshake went a step on: the client is not silent.
  waiting.heard = Clock::now();
  WatchFor(fd, waiting, wait == TlsSession::Wait::kWrite);
  return wait == TlsSession::Wait::kNone;
}

bool ConnectionGate::TakeRelayHeader(int fd, Waiting& waiting) {
  if (waiting.relayHeader.empty()) {
    // A header starts with a byte no request and no TLS handshake starts with, so
    // the first byte tells (peeked: it may belong to the request).
    char first = 0;
    const ssize_t peeked = ::recv(fd, &first, 1, MSG_PEEK | MSG_DONTWAIT);
    if (peeked < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      return false;
    }
    if (peeked <= 0) {
      Drop(fd, std::string());
      return false;
    }
    if (first != ProxyProtocol::kSignature.front()) {
      waiting.mayRelay = false;
      return true;
    }
  }
  for (;;) {
    const ProxyProtocol::Reading reading = ProxyProtocol::Read(waiting.relayHeader);
    switch (reading.kind) {
      case ProxyProtocol::Reading::Kind::kMore: {
        // Exactly the header's bytes: what follows is the request, or TLS's.
        char chunk[ProxyProtocol::kMaxHeaderBytes];
        const ssize_t got = ::recv(fd, chunk, reading.needed - waiting.relayHeader.size(), MSG_DONTWAIT);
        if (got > 0) {
          waiting.relayHeader.append(chunk, static_cast<size_t>(got));
          waiting.heard = Clock::now();
          continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
          return false;
        }
        Drop(fd, std::string());
        return false;
      }
      case ProxyProtocol::Reading::Kind::kInvalid:
        Drop(fd, std::string());
        return false;
      case ProxyProtocol::Reading::Kind::kLocal:
        waiting.mayRelay = false;
        return true;
      case ProxyProtocol::Reading::Kind::kProxy:
        waiting.mayRelay = false;
        waiting.relayed = reading.client;
        waiting.client = ClientKey(reading.client);
        return true;
    }
  }
}

void ConnectionGate::Receive(int fd) {
  Waiting& waiting = waiting_.at(fd);
  if (waiting.mayRelay && !TakeRelayHeader(fd, waiting)) {
    return;
  }
  if (const TlsSession* tls = waiting.connection.tls(); tls != nullptr && !tls->established()) {
    if (!shakers_.empty()) {
      // Only a step that can go on is handed over: the client's bytes are here, or
      // the socket takes what TLS has to send.
      char byte = 0;
      const ssize_t peeked = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
      if (peeked == 0 || (peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        Drop(fd, std::string());
      } else if (peeked > 0 || waiting.awaitsWritable) {
        ShakeElsewhere(fd);
      }
      return;
    }
    if (!ShakeHands(fd, waiting)) {
      return;
    }
  }
  char chunk[16 * 1024];
  bool wantsWrite = false;
  for (;;) {
    const size_t room = limits_.maxRequestBytes + 1 - waiting.received.size();
    const ssize_t received = waiting.connection.ReceiveNow(chunk, std::min(room, sizeof(chunk)), wantsWrite);
    if (received > 0) {
      waiting.received.append(chunk, static_cast<size_t>(received));
      waiting.heard = Clock::now();
      if (waiting.idle) {
        // The next request began: it has the whole deadline, as on a new connection.
        waiting.idle = false;
        waiting.since = waiting.heard;
      }
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
  if (waiting.connection.tls() != nullptr) {
    WatchFor(fd, waiting, wantsWrite);
  }
  const Verdict verdict = check_(waiting.received);
  switch (verdict.kind) {
    case Verdict::Kind::kComplete: {
      // The answer goes out as soon as it is written: on a connection kept open no
      // end of stream would push a short answer past the client's delayed ACK. Not
      // before: during a TLS handshake, holding a lone session ticket until the
      // client's ACK lets that ACK-bearing ticket answer the client's Finished at
      // once, so a client that delays its request behind it (Nagle) is not kept
      // waiting for the delayed ACK.
      const int on = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
      loop_.Forget(fd);
      Waiting done = std::move(waiting);
      waiting_.erase(fd);
      waitingCount_ = waiting_.size() + away_;
      handover_(std::move(done.connection), done.peer, done.relayed, std::move(done.received), done.answered);
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
        waiting.connection.SendNow("HTTP/1.1 100 Continue\r\n\r\n");
      }
      return;
  }
}

void ConnectionGate::Drop(int fd, std::string_view reply) {
  // A short last word; a client too slow to take it loses it, the gate never waits.
  // A connection between requests gets none: the client may have a request on its
  // way, which the word would seem to answer.
  const Waiting& waiting = waiting_.at(fd);
  if (!reply.empty() && !waiting.idle) {
    waiting.connection.SendNow(reply);
  }
  loop_.Forget(fd);
  waiting_.erase(fd);  // closes the connection
  waitingCount_ = waiting_.size() + away_;
}

void ConnectionGate::WatchFor(int fd, Waiting& waiting, bool writable) {
  if (waiting.awaitsWritable != writable) {
    waiting.awaitsWritable = writable;
    loop_.Change(fd, writable ? EPOLLOUT | EPOLLRDHUP : kReadable);
  }
}

void ConnectionGate::DropExpired() {
  const auto now = Clock::now();
  std::vector<int> expired;
  for (const auto& [fd, waiting] : waiting_) {
    if (now - waiting.since >= (waiting.idle ? limits_.idle : limits_.deadline)) {
      expired.push_back(fd);
    }
  }
  for (const int fd : expired) {
    Drop(fd, replies_.timedOut);
  }
}

}  // namespace tarvo::service
