#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace tarvo::test {

namespace {

constexpr size_t kChunk = 1 << 20;
// The pattern repeats every 7 x 26 bytes.
constexpr uint64_t kPeriod = 182;

// kChunk + kPeriod bytes of the pattern from offset 0: any chunk of the pattern
// starts somewhere in its first kPeriod bytes.
const std::vector<char>& PatternWindow() {
  static const std::vector<char> window = [] {
    std::vector<char> bytes(kChunk + kPeriod);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = LoopbackHttpServer::PatternByte(i);
    return bytes;
  }();
  return window;
}

size_t ContentLengthOf(const std::string& head) {
  std::string lower = head;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  const size_t at = lower.find("\r\ncontent-length:");
  return at == std::string::npos ? 0 : std::stoul(head.substr(at + 17));
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listenFd_, 64) != 0 || getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      pipe(wakeFds_) != 0) {
    throw std::runtime_error("loopback server cannot listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  stopped_.notify_all();
  static_cast<void>(write(wakeFds_[1], "x", 1));
  acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (const int fd : openFds_) shutdown(fd, SHUT_RDWR);
  }
  for (std::thread& worker : workers_) worker.join();
  close(listenFd_);
  close(wakeFds_[0]);
  close(wakeFds_[1]);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<ReceivedRequest> LoopbackHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

ScriptedReply LoopbackHttpServer::Ok(const std::string& body, const std::string& extraHeaders) {
  ScriptedReply reply;
  reply.head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n";
  reply.body = body;
  return reply;
}

void LoopbackHttpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd waiters[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
    if (poll(waiters, 2, -1) <= 0 || (waiters[1].revents & POLLIN) != 0) continue;
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    // Head and body go out in separate sends; without this the body would wait for
    // the client's delayed acknowledgement.
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    const int number = ++connections_;
    std::lock_guard lock(mutex_);
    openFds_.push_back(fd);
    workers_.emplace_back([this, fd, number] { Serve(fd, number); });
  }
}

bool LoopbackHttpServer::ReadRequest(int fd, std::string& pending, ReceivedRequest& request) {
  char buffer[65536];
  size_t end = 0;
  while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
    const ssize_t received = recv(fd, buffer, sizeof(buffer), 0);
    if (received <= 0) return false;
    pending.append(buffer, static_cast<size_t>(received));
  }
  request.head = pending.substr(0, end);
  const size_t bodyLength = ContentLengthOf(request.head);
  pending.erase(0, end + 4);
  while (pending.size() < bodyLength) {
    const ssize_t received = recv(fd, buffer, sizeof(buffer), 0);
    if (received <= 0) return false;
    pending.append(buffer, static_cast<size_t>(received));
  }
  request.body = pending.substr(0, bodyLength);
  pending.erase(0, bodyLength);
  const size_t firstSpace = request.head.find(' ');
  const size_t secondSpace = request.head.find(' ', firstSpace + 1);
  request.method = request.head.substr(0, firstSpace);
  request.target = request.head.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  return true;
}

bool LoopbackHttpServer::Send(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

bool LoopbackHttpServer::SendGenerated(int fd, const ScriptedReply& reply) {
  const auto start = std::chrono::steady_clock::now();
  // Paced bodies go in small pieces, so that the client sees a steady trickle.
  const uint64_t piece = reply.bytesPerSecond > 0 ? 64 * 1024 : kChunk;
  for (uint64_t sent = 0; sent < reply.generatedBytes && !stopping_;) {
    const size_t take = static_cast<size_t>(std::min<uint64_t>(piece, reply.generatedBytes - sent));
    const ssize_t n = send(fd, PatternWindow().data() + (reply.generatedFrom + sent) % kPeriod, take, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<uint64_t>(n);
    if (reply.bytesPerSecond > 0) {
      const auto due = start + std::chrono::microseconds(sent * 1000000 / reply.bytesPerSecond);
      std::unique_lock lock(mutex_);
      if (stopped_.wait_until(lock, due, [this] { return stopping_.load(); })) return false;
    }
  }
  return !stopping_;
}

bool LoopbackHttpServer::HoldsPattern(const std::string& path, uint64_t size) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(kChunk);
  uint64_t offset = 0;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<uint64_t>(in.gcount());
    if (offset + got > size || std::memcmp(buffer.data(), PatternWindow().data() + offset % kPeriod, got) != 0) {
      return false;
    }
    offset += got;
  }
  return offset == size;
}

bool LoopbackHttpServer::Pause(int ms) {
  if (ms <= 0) return !stopping_;
  std::unique_lock lock(mutex_);
  return !stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

void LoopbackHttpServer::Serve(int fd, int number) {
  std::string pending;
  for (;;) {
    ReceivedRequest request;
    request.connection = number;
    if (!ReadRequest(fd, pending, request)) break;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    const ScriptedReply reply = handler_(request);
    if (!Pause(reply.delayMs) || !Send(fd, reply.head) || !Pause(reply.pauseAfterHeadMs) ||
        !Send(fd, reply.body) || !SendGenerated(fd, reply)) {
      break;
    }
    if (reply.close) {
      Pause(reply.lingerBeforeCloseMs);
      break;
    }
  }
  std::lock_guard lock(mutex_);
  openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), fd), openFds_.end());
  shutdown(fd, SHUT_RDWR);
  close(fd);
}

}  // namespace tarvo::test
