#pragma once

#include <optional>
#include <vector>

#include <json/value.h>

#include "account/vpn_node.h"

namespace tarvo {

// Reads the "data" of a node-list reply ("app/v1.2/user_node_list",
// "app/v1.1/no_login_user_node_list"): an array of node objects whose "ip" and "area"
// are ciphered. A list is taken whole or not at all, so a malformed reply never
// replaces a good list.
//
// Stateless; any thread.
class VpnNodeList {
 public:
  // The nodes in reply order, or nothing when `data` is not an array, an element is
  // not an object, lacks its "id", "ip" or "port", or a ciphered value does not
  // decrypt.
  static std::optional<std::vector<VpnNode>> Read(const Json::Value& data);
};

}  // namespace tarvo
