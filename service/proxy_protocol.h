#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "node_addresses.h"

namespace tarvo::service {

// The PROXY protocol, version 2 (HAProxy's "send-proxy-v2"): a binary header that a
// relay sends ahead of everything else on a connection it opens, naming the client
// it carries. A --proxies-only process sends it to the API process's front, which
// takes it only from the relays it is told to trust, before the request and before
// a TLS handshake. Only what the service needs: TCP over IPv4 and IPv6, and LOCAL
// (the relay speaking for itself, as in health checks); TLVs are skipped. Any thread.
class ProxyProtocol {
 public:
  // The twelve bytes every version-2 header starts with.
  static constexpr std::string_view kSignature{"\r\n\r\n\0\r\nQUIT\n", 12};
  // A header longer than this is refused (an IPv6 header with a few TLVs fits).
  static constexpr size_t kMaxHeaderBytes = 16 + 512;

  // A header naming `client` as the source and `server` (where the client reached
  // the relay) as the destination. Both numeric; an IPv4 address with an IPv6 one
  // is sent in its IPv6 (mapped) form.
  static std::string Header(const NodeAddress& client, const NodeAddress& server);

  // What the bytes received so far (`bytes`, starting with the connection) hold.
  struct Reading {
    enum class Kind { kMore, kInvalid, kLocal, kProxy };
    Kind kind = Kind::kMore;
    size_t length = 0;  // kLocal, kProxy: the header's whole length
    std::string client;  // kProxy: the client's numeric address
    // kMore: how many bytes the header needs in all, as far as known now.
    size_t needed = 16;
  };
  static Reading Read(std::string_view bytes);
};

}  // namespace tarvo::service
