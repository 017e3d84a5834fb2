#pragma once

#include <optional>
#include <vector>

#include "account/vpn_node.h"

namespace tarvo {

class AccountState;

// Measures how far each VPN node is: the time a TCP connection to its proxy address
// takes to open. The protection panel shows these figures; a node that could not be
// reached has none.
//
// Blocks up to kConnectLimitMs per silent node, so it runs on the account task
// queue. Stateless; any thread.
class NodeLatencyProbe {
 public:
  static constexpr uint32_t kConnectLimitMs = 1500;

  // The connect time to `node` in milliseconds, or nothing when it failed.
  static std::optional<int> Measure(const VpnNode& node);
  // Measures each node and records the figures (or their absence) in `state`.
  static void MeasureAll(const std::vector<VpnNode>& nodes, AccountState& state);
};

}  // namespace tarvo
