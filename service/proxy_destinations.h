#pragma once

#include <optional>
#include <string>
#include <vector>

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
// address of the name is public: loopback, private and link-local addresses are
// refused after resolution too, so a name cannot lead back inside.
//
// Immutable after construction: any thread.
class ProxyDestinations {
 public:
  ProxyDestinations(NodeAddress front, std::vector<NodeAddress> allowed, bool outside);

  // The numeric address and port to connect to for a request to host:port (host
  // lower case, IPv6 without brackets), or nullopt when it is refused.
  std::optional<NodeAddress> Resolve(const std::string& host, int port) const;

  const NodeAddress& front() const { return front_; }

 private:
  bool Allowed(const std::string& numeric, int port) const;

  const NodeAddress front_;
  const std::vector<NodeAddress> allowed_;
  const bool outside_;
};

}  // namespace tarvo::service
