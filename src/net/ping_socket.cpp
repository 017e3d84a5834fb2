#include "net/ping_socket.h"

#include <netinet/in.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace tarvo {

namespace {

constexpr uint8_t kEchoRequest = 8;
constexpr uint8_t kEchoReply = 0;
constexpr size_t kIcmpHeader = 8;
constexpr size_t kTimeStamp = 4;
constexpr size_t kReceiveBuffer = 256;

// Milliseconds of the monotonic clock, so a change of the wall clock cannot make a
// wait endless or a round trip negative.
uint32_t NowMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

uint16_t Read16(const uint8_t* at) {
  uint16_t value = 0;
  std::memcpy(&value, at, sizeof(value));
  return value;
}

uint32_t Read32(const uint8_t* at) {
  uint32_t value = 0;
  std::memcpy(&value, at, sizeof(value));
  return value;
}

}  // namespace

uint16_t PingSocket::NextSequence() {
  // The one process-wide counter; the increment is atomic for concurrent measuring.
  static std::atomic<uint16_t> counter{0};
  return static_cast<uint16_t>(counter.fetch_add(1, std::memory_order_relaxed) + 1);
}

uint16_t PingSocket::Checksum(const uint8_t* data, size_t length) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < length; i += 2) {
    sum += Read16(data + i);
  }
  if (length % 2 != 0) {
    sum += data[length - 1];
  }
  sum = (sum >> 16) + (sum & 0xffff);
  sum += sum >> 16;
  return static_cast<uint16_t>(~sum);
}

PingSocket::PingSocket(IcmpSocketKind kind) : identifier_(static_cast<uint16_t>(getpid() & 0xffff)) {
  if (kind == IcmpSocketKind::kRawPreferred) {
    socket_.Reset(socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP));
  }
  if (!socket_.valid() && (kind == IcmpSocketKind::kDatagramOnly || errno == EPERM || errno == EACCES)) {
    socket_.Reset(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP));
    const int on = 1;
    datagram_ = socket_.valid();
    if (datagram_ && setsockopt(socket_.get(), IPPROTO_IP, IP_RECVTTL, &on, sizeof(on)) != 0) {
      socket_.Reset();
    }
  }
  if (!socket_.valid()) {
    std::fprintf(stderr, "ICMP socket() failed: %d\n", errno);
    return;
  }
  ready_ = true;
}

void PingSocket::Ping(uint32_t destination, PingReply* reply) {
  if (!ready_) {
    return;
  }
  const uint16_t sequence = NextSequence();
  const uint32_t sentAt = NowMs();
  packet_.fill(0);
  packet_[0] = kEchoRequest;
  std::memcpy(&packet_[4], &identifier_, sizeof(identifier_));
  std::memcpy(&packet_[6], &sequence, sizeof(sequence));
  std::memcpy(&packet_[8], &sentAt, sizeof(sentAt));
  const uint16_t checksum = Checksum(packet_.data(), packet_.size());
  std::memcpy(&packet_[2], &checksum, sizeof(checksum));

  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_addr.s_addr = destination;
  if (sendto(socket_.get(), packet_.data(), packet_.size(), 0, reinterpret_cast<const sockaddr*>(&target),
             sizeof(target)) != static_cast<ssize_t>(packet_.size()) ||
      reply == nullptr) {
    return;
  }
  uint16_t identifier = identifier_;
  if (datagram_) {
    // The kernel puts the socket's own identifier into datagram echo requests.
    sockaddr_in local{};
    socklen_t length = sizeof(local);
    if (getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
      return;
    }
    identifier = local.sin_port;  // compared as it stands on the wire
  }

  for (;;) {
    const uint32_t elapsed = NowMs() - sentAt;
    if (elapsed >= kTimeoutMs) {
      return;
    }
    pollfd waiter{socket_.get(), POLLIN, 0};
    const int ready = poll(&waiter, 1, static_cast<int>(kTimeoutMs - elapsed));
    if (ready < 0 && errno != EINTR) {
      return;
    }
    if (ready > 0 && ReadMatchingReply(destination, identifier, sequence, NowMs(), reply)) {
      return;
    }
  }
}

bool PingSocket::ReadMatchingReply(uint32_t destination, uint16_t identifier, uint16_t sequence,
                                   uint32_t receivedAt, PingReply* reply) const {
  uint8_t buffer[kReceiveBuffer];
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
  sockaddr_in source{};
  iovec data{buffer, sizeof(buffer)};
  msghdr message{};
  message.msg_name = &source;
  message.msg_namelen = sizeof(source);
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof(control);
  const ssize_t received = recvmsg(socket_.get(), &message, MSG_DONTWAIT);
  if (received <= 0) {
    return false;
  }
  const auto length = static_cast<size_t>(received);
  size_t headerLength = 0;
  uint32_t ttl = 0;
  if (datagram_) {
    for (cmsghdr* item = CMSG_FIRSTHDR(&message); item != nullptr; item = CMSG_NXTHDR(&message, item)) {
      if (item->cmsg_level == IPPROTO_IP && item->cmsg_type == IP_TTL) {
        int value = 0;
        std::memcpy(&value, CMSG_DATA(item), sizeof(value));
        ttl = static_cast<uint32_t>(value);
      }
    }
  } else {
    headerLength = static_cast<size_t>(buffer[0] & 0x0f) * 4;
    if (length < 20 || headerLength < 20) {
      return false;
    }
    ttl = buffer[8];
  }
  if (length < headerLength + kIcmpHeader + kTimeStamp || source.sin_addr.s_addr != destination) {
    return false;
  }
  const uint8_t* icmp = buffer + headerLength;
  if (icmp[0] != kEchoReply || Read16(icmp + 4) != identifier || Read16(icmp + 6) != sequence) {
    return false;
  }
  reply->sequence = sequence;
  reply->roundTripMs = receivedAt - Read32(icmp + 8);
  reply->dataSize = static_cast<uint32_t>(length - headerLength - kIcmpHeader - kTimeStamp);
  reply->ttl = ttl;
  return true;
}

}  // namespace tarvo
