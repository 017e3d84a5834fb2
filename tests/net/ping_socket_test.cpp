// Echo requests to 127.0.0.1 only. Cases that need a silent or misbehaving peer run in
// a private network namespace of their own, so nothing can leave the machine.
#include "net/ping_socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <thread>
#include <tuple>

#include "net/unique_fd.h"

namespace tarvo {
namespace {

const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

struct NamespaceSetup {
  bool ignoreEcho = false;       // the kernel answers no echo request
  bool allowDatagram = false;    // the ICMP datagram socket is open to every group
};

bool WriteSetting(const char* path, const char* value) {
  std::ofstream out(path);
  out << value;
  return static_cast<bool>(out.flush());
}

// Runs `body` on a thread that lives in a fresh network namespace with only its own
// loopback interface up. Returns false (and runs nothing) where namespaces cannot be
// made.
bool RunInPrivateNetwork(const NamespaceSetup& setup, const std::function<void()>& body) {
  bool ran = false;
  std::thread worker([&] {
    // A network namespace is a property of the thread: the process keeps its own.
    if (unshare(CLONE_NEWNET) != 0) return;
    UniqueFd control(socket(AF_INET, SOCK_DGRAM, 0));
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    if (ioctl(control.get(), SIOCGIFFLAGS, &request) != 0) return;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    if (ioctl(control.get(), SIOCSIFFLAGS, &request) != 0 ||
        (setup.ignoreEcho && !WriteSetting("/proc/sys/net/ipv4/icmp_echo_ignore_all", "1")) ||
        (setup.allowDatagram && !WriteSetting("/proc/sys/net/ipv4/ping_group_range", "0 2147483647"))) {
      return;
    }
    ran = true;
    body();
  });
  worker.join();
  return ran;
}

// Answers each echo request it sees first with a foreign identifier (TTL 7), then
// correctly (TTL 9). Its socket belongs to the namespace it was made in.
class EchoImpostor {
 public:
  EchoImpostor() : socket_(socket(AF_INET, SOCK_RAW, IPPROTO_ICMP)) {
    timeval timeout{3, 0};
    setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    thread_ = std::thread([this] { AnswerOne(); });
  }
  ~EchoImpostor() { thread_.join(); }

 private:
  void AnswerOne() {
    uint8_t packet[256];
    for (;;) {
      const ssize_t length = recv(socket_.get(), packet, sizeof(packet), 0);
      if (length <= 0) return;
      const size_t ipHeader = static_cast<size_t>(packet[0] & 0x0f) * 4;
      uint8_t* icmp = packet + ipHeader;
      if (icmp[0] != 8) continue;
      const size_t icmpLength = static_cast<size_t>(length) - ipHeader;
      icmp[0] = 0;
      uint16_t identifier = 0;
      std::memcpy(&identifier, icmp + 4, 2);
      SendWith(icmp, icmpLength, static_cast<uint16_t>(identifier + 1), 7);
      SendWith(icmp, icmpLength, identifier, 9);
      return;
    }
  }

  void SendWith(uint8_t* icmp, size_t length, uint16_t identifier, int ttl) {
    std::memcpy(icmp + 4, &identifier, 2);
    std::memset(icmp + 2, 0, 2);
    const uint16_t checksum = PingSocket::Checksum(icmp, length);
    std::memcpy(icmp + 2, &checksum, 2);
    setsockopt(socket_.get(), IPPROTO_IP, IP_TTL, &ttl, sizeof(ttl));
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = kLoopback;
    sendto(socket_.get(), icmp, length, 0, reinterpret_cast<sockaddr*>(&target), sizeof(target));
  }

  UniqueFd socket_;
  std::thread thread_;
};

TEST(PingSocketTest, RawSocketMeasuresLoopback) {
  PingSocket ping;
  ASSERT_TRUE(ping.ready());
  ASSERT_FALSE(ping.datagram()) << "these tests expect to run as root";
  PingReply first;
  ping.Ping(kLoopback, &first);
  EXPECT_GT(first.ttl, 0u);
  EXPECT_EQ(first.dataSize, 32u);
  EXPECT_LT(first.roundTripMs, PingSocket::kTimeoutMs);
  PingReply second;
  ping.Ping(kLoopback, &second);
  EXPECT_EQ(second.sequence, static_cast<uint16_t>(first.sequence + 1));
  // Without a reply record nothing is awaited.
  ping.Ping(kLoopback, nullptr);
}

TEST(PingSocketTest, DatagramSocketMeasuresLoopbackForOrdinaryUsers) {
  PingReply reply;
  bool datagram = false;
  const bool ran = RunInPrivateNetwork({.allowDatagram = true}, [&] {
    PingSocket ping(IcmpSocketKind::kDatagramOnly);
    datagram = ping.ready() && ping.datagram();
    ping.Ping(kLoopback, &reply);
  });
  if (!ran) GTEST_SKIP() << "no network namespaces here";
  EXPECT_TRUE(datagram);
  EXPECT_GT(reply.ttl, 0u);
  EXPECT_EQ(reply.dataSize, 32u);
  EXPECT_NE(reply.sequence, 0u);
}

// A socket the system refuses (no group may open ICMP datagram sockets in a fresh
// namespace) and an echo that never comes both leave the reply zero.
TEST(PingSocketTest, ARefusedSocketOrNoReplyWithinTheBoundLeavesTheReplyZero) {
  for (const bool refused : {true, false}) {
    SCOPED_TRACE(refused ? "refused" : "no reply");
    PingReply reply;
    const bool ran = RunInPrivateNetwork({.ignoreEcho = !refused}, [&] {
      PingSocket ping(refused ? IcmpSocketKind::kDatagramOnly : IcmpSocketKind::kRawPreferred);
      EXPECT_NE(ping.ready(), refused);
      ping.Ping(kLoopback, &reply);
    });
    if (!ran) GTEST_SKIP() << "no network namespaces here";
    EXPECT_EQ(std::make_tuple(reply.sequence, reply.roundTripMs, reply.dataSize, reply.ttl), std::make_tuple(uint16_t{0}, 0u, 0u, 0u));
  }
}

TEST(PingSocketTest, RepliesWithAForeignIdentifierAreIgnored) {
  PingReply reply;
  const bool ran = RunInPrivateNetwork({.ignoreEcho = true}, [&] {
    EchoImpostor impostor;
    PingSocket ping;
    ping.Ping(kLoopback, &reply);
  });
  if (!ran) GTEST_SKIP() << "no network namespaces here";
  // The foreign answer came first with TTL 7; only the matching one counts.
  EXPECT_EQ(reply.ttl, 9u);
  EXPECT_EQ(reply.dataSize, 32u);
}

}  // namespace
}  // namespace tarvo
