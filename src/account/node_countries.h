#pragma once

#include <vector>

#include "account/vpn_node.h"

namespace tarvo {

// How the protection panel offers a node list: countries in the order they first
// appear, each with its name and number of nodes, then the nodes of the chosen
// country; and the flag picture of each country.
//
// Stateless; any thread.
class NodeCountries {
 public:
  struct Country {
    WString id;     // "country_id"
    WString name;   // the first node's "country"
    int nodeCount = 0;
  };

  static std::vector<Country> Group(const std::vector<VpnNode>& nodes);
  // The nodes whose "country_id" is `countryId`, in list order.
  static std::vector<VpnNode> NodesOf(const std::vector<VpnNode>& nodes, WStringView countryId);
  // The node with `nodeId`, or nullptr (points into `nodes`).
  static const VpnNode* Find(const std::vector<VpnNode>& nodes, WStringView nodeId);
  // "CN.png", "US.png", "KR.png" or "JP.png" for country ids 1 to 4; empty for any
  // other id (no flag is shown).
  static WString FlagFile(WStringView countryId);
};

}  // namespace tarvo
