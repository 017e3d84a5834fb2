#include "account/node_latency_probe.h"

#include <charconv>
#include <chrono>

#include "account/account_state.h"
#include "net/http_interface_error.h"
#include "net/socket_connection.h"

namespace tarvo {

std::optional<int> NodeLatencyProbe::Measure(const VpnNode& node) {
  const std::string port = WideToUtf8(node.port);
  uint16_t portNumber = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), portNumber);
  if (error != std::errc() || end != port.data() + port.size() || portNumber == 0) return std::nullopt;
  const auto start = std::chrono::steady_clock::now();
  try {
    SocketConnection connection;
    connection.Connect(WideToUtf8(node.ip), portNumber, kConnectLimitMs, kConnectLimitMs);
  } catch (HttpInterfaceError) {
    return std::nullopt;
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void NodeLatencyProbe::MeasureAll(const std::vector<VpnNode>& nodes, AccountState& state) {
  for (const VpnNode& node : nodes) state.SetNodeLatency(node.id, Measure(node));
}

}  // namespace tarvo
