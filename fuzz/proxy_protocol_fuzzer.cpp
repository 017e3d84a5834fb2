// What a trusted relay sends the service's front ahead of a request: a PROXY
// protocol header. It is read whole or not at all, never past the bytes that came,
// and a client it names is a numeric address that a header of the service's own
// names the same way.
#include "fuzz_support.h"
#include "service/proxy_protocol.h"

using tarvo::service::NodeAddress;
using tarvo::service::ProxyProtocol;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view received = tarvo::fuzz::AsText(data, size);
  const ProxyProtocol::Reading reading = ProxyProtocol::Read(received);
  using Kind = ProxyProtocol::Reading::Kind;
  switch (reading.kind) {
    case Kind::kMore:
      if (reading.needed <= received.size() || reading.needed > ProxyProtocol::kMaxHeaderBytes) {
        tarvo::fuzz::Fail("asks for bytes it already has, or for more than a header may hold");
      }
      break;
    case Kind::kInvalid:
      break;
    case Kind::kLocal:
    case Kind::kProxy:
      if (reading.length < 16 || reading.length > received.size() || reading.length > ProxyProtocol::kMaxHeaderBytes) {
        tarvo::fuzz::Fail("a header longer than what came, or than a header may be");
      }
      break;
  }
  if (reading.kind == Kind::kProxy) {
    const std::string again = ProxyProtocol::Header(NodeAddress{reading.client, 1}, NodeAddress{reading.client, 2});
    if (ProxyProtocol::Read(again).client != reading.client) {
      tarvo::fuzz::Fail("the client named does not survive a header of the service's own");
    }
  }
  return 0;
}
