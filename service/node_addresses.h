#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tarvo::service {

// Where a node's proxy really listens, for nodes the service runs a proxy for.
struct NodeAddress {
  std::string ip;
  int port = 0;
};

// Node id → the address of its running proxy. Filled once before requests are
// served and read-only afterwards.
using NodeAddresses = std::map<int64_t, NodeAddress>;

}  // namespace tarvo::service
