#pragma once

#include <optional>
#include <string>
#include <vector>

#include "local_addresses.h"
#include "node_addresses.h"

namespace tarvo::service {

// Where the nodes' proxies may forward to. Host names of the test domain
// ("tarvo.test" and its sub-domains) go to the service's own HTTP front, which
// serves their pages; a numeric address and port go through only when they are
// the service's own (the front itself and the protected-site mirrors it serves) or
// on the operator's allow-list. Everything else on this machine or its networks
// stays out of reach, whoever holds a proxy token.
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
  struct Plan {
    NodeAddress pages;               // where test-domain names go: the front's pages
    std::vector<NodeAddress> own;    // the service's own addresses: the front, the mirrors
    std::vector<NodeAddress> allowed;  // more the operator allows (--proxy-allow)
    bool outside = false;            // public hosts too (--proxy-outside)
    std::vector<NodeAddress> nodes;  // the nodes' published proxies, never reached
    const LocalAddresses* local = nullptr;  // not owned, outlives this object; with `outside`
  };

  // Where a request goes.
  struct Destination {
    NodeAddress address;  // numeric
    bool own = false;     // the service's own front or a mirror it serves
  };

  explicit ProxyDestinations(Plan plan);

  // The numeric address and port to connect to for a request to host:port (host
  // lower case, IPv6 without brackets), or nullopt when it is refused.
  std::optional<Destination> Resolve(const std::string& host, int port) const;

 private:
  static bool Lists(const std::vector<NodeAddress>& entries, const std::string& host, int port);
  // Public, and none of this machine's own.
  bool IsOutside(const std::string& numeric) const;

  const Plan plan_;  // numeric addresses in CanonicalAddress form, names lower case
};

}  // namespace tarvo::service
