#pragma once

#include <optional>
#include <string>
#include <vector>

#include "local_addresses.h"
#include "node_addresses.h"

namespace tarvo::service {

// Where the nodes' proxies may forward to. Host names of the test domain
// ("tarvo.test" and its sub-domains) go to the service's own HTTP front, which
// serves their pages; a numeric address and port go through only when they are on
// the allow-list (the front itself and the protected-site mirrors it serves, plus
// what the operator adds). Everything else on this machine or its networks stays
// out of reach, whoever holds a proxy token.
//
// When hosts outside the machine are allowed, a name is resolved here and the
// connection goes to the very address that was checked, and only when every
// address of the name is public and none is one of this machine's own (its
// interfaces, as LocalAddresses follows them): loopback, private and link-local
// addresses and the host's public ones are refused after resolution too, so a
// name cannot lead back inside. The nodes' own proxies (the address and port each
// node is published with) are refused whatever the rest allows, so proxies never
// nest.
//
// Immutable after construction (LocalAddresses guards itself): any thread.
class ProxyDestinations {
 public:
  // `local` (not owned, outlives this object) is needed with `outside` only.
  ProxyDestinations(NodeAddress front, std::vector<NodeAddress> allowed, bool outside,
                    std::vector<NodeAddress> nodes = {}, const LocalAddresses* local = nullptr);

  // The numeric address and port to connect to for a request to host:port (host
  // lower case, IPv6 without brackets), or nullopt when it is refused.
  std::optional<NodeAddress> Resolve(const std::string& host, int port) const;

  const NodeAddress& front() const { return front_; }

 private:
  bool Allowed(const std::string& numeric, int port) const;
  // A node's own proxy: its published address (numeric, or a name as written) and port.
  bool IsNode(const std::string& host, int port) const;
  // Public, and none of this machine's own.
  bool IsOutside(const std::string& numeric) const;

  const NodeAddress front_;
  const std::vector<NodeAddress> allowed_;  // numeric addresses in CanonicalAddress form
  const bool outside_;
  const std::vector<NodeAddress> nodes_;    // numeric ones in CanonicalAddress form
  const LocalAddresses* const local_;       // not owned; may be null without outside_
};

}  // namespace tarvo::service
