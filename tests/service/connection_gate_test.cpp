// The gate's cap on one client's waiting connections counts the client's silence,
// not the gate's own delay.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "service/connection_gate.h"
#include "service/socket_address.h"
#include "service/tcp_connection.h"

namespace tarvo::service::test {
namespace {

using namespace std::chrono_literals;

TEST(ConnectionGate, RequestsThatArriveWhileTheGateIsBusyAreNotTakenForSilence) {
  // Two connections of one client wait; a third request keeps the gate busy (as a
  // burst of TLS handshakes does) past `settle`, while the two send theirs. Pushing
  // them out as silent would fail a burst of quick clients from one address.
  ConnectionGate::Limits limits;
  limits.perAddress = 1;
  limits.settle = 500ms;
  std::mutex mutex;
  std::set<std::string> handedOver;
  ConnectionGate gate(
      limits,
      [](std::string_view received) {
        if (received == "busy") std::this_thread::sleep_for(1500ms);
        using Kind = ConnectionGate::Verdict::Kind;
        return ConnectionGate::Verdict{received.ends_with('\n') ? Kind::kComplete : Kind::kMore};
      },
      [&](TcpConnection, const std::string&, std::string received) {
        std::lock_guard lock(mutex);
        handedOver.insert(received);
      },
      ConnectionGate::Replies{"timed out", "too large"});
  const int listener = BindListener("127.0.0.1", 0);
  ASSERT_GE(listener, 0);
  const int port = BoundPort(listener);
  gate.Listen(listener);
  gate.Start();

  auto first = TcpConnection::Connect("127.0.0.1", port, 5000);
  auto second = TcpConnection::Connect("127.0.0.1", port, 5000);
  std::this_thread::sleep_for(100ms);
  auto busy = TcpConnection::Connect("127.0.0.1", port, 5000);
  ASSERT_TRUE(first && second && busy);
  busy->WriteAll("busy");
  std::this_thread::sleep_for(700ms);
  first->WriteAll("first\n");
  second->WriteAll("second\n");

  const auto deadline = std::chrono::steady_clock::now() + 5s;
  for (;;) {
    {
      std::lock_guard lock(mutex);
      if (handedOver.size() == 2 || std::chrono::steady_clock::now() > deadline) {
        EXPECT_EQ(handedOver, (std::set<std::string>{"first\n", "second\n"}));
        break;
      }
    }
    std::this_thread::sleep_for(20ms);
  }
  gate.Stop();
}

}  // namespace
}  // namespace tarvo::service::test
