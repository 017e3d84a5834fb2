#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "net/unique_fd.h"

namespace tarvo {

// The answer to one echo request; left all zero when no matching reply came.
struct PingReply {
  uint16_t sequence = 0;      // the sequence number that was answered
  uint32_t roundTripMs = 0;   // receive time minus the time stamp carried back
  uint32_t dataSize = 0;      // reply length past the ICMP header and time stamp
  uint32_t ttl = 0;           // time to live of the reply's IP header
};

// Which ICMP socket a PingSocket opens.
enum class IcmpSocketKind {
  kRawPreferred,  // raw socket (root or CAP_NET_RAW); the datagram socket where refused
  kDatagramOnly,  // the unprivileged ICMP datagram socket only
};

// A minimal IPv4 ICMP echo client measuring protected sites' mirror addresses. Uses a
// raw ICMP socket where allowed and otherwise the unprivileged ICMP datagram socket
// (the kernel then owns the identifier, and the TTL comes through IP_RECVTTL), so
// ordinary users can measure too. One object per measuring batch, used by one thread.
class PingSocket {
 public:
  static constexpr uint32_t kTimeoutMs = 2000;
  static constexpr size_t kPacketSize = 44;

  // Opens the socket; on failure the object is not ready and every Ping returns at once.
  explicit PingSocket(IcmpSocketKind kind = IcmpSocketKind::kRawPreferred);

  bool ready() const { return ready_; }
  // True when the unprivileged datagram socket is in use.
  bool datagram() const { return datagram_; }

  // Sends one echo request to `destination` (IPv4, network byte order) and, when
  // `reply` is given, waits up to kTimeoutMs for the echo reply with this object's
  // identifier and the sequence just sent, filling `reply` when it comes. Other
  // datagrams (other processes' replies, our own request seen on loopback) are
  // ignored. The caller zeroes `reply` first.
  void Ping(uint32_t destination, PingReply* reply);

  // The next value of the process-wide sequence counter, wrapping from 65535 to 0.
  // Any thread.
  static uint16_t NextSequence();
  // The Internet checksum of `length` bytes taken as 16-bit words in host order.
  static uint16_t Checksum(const uint8_t* data, size_t length);

 private:
  bool ReadMatchingReply(uint32_t destination, uint16_t identifier, uint16_t sequence, uint32_t receivedAt,
                         PingReply* reply) const;

  UniqueFd socket_;
  uint16_t identifier_ = 0;
  std::array<uint8_t, kPacketSize> packet_{};
  bool datagram_ = false;
  bool ready_ = false;
};

}  // namespace tarvo
