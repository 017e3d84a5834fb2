// The head a proxy client sends (CONNECT or an absolute address), its credentials and
// the head forwarded to the destination: that head never carries the client's proxy
// credentials on, and a parsed destination has a port.
#include <algorithm>
#include <cctype>

#include "fuzz_support.h"
#include "service/proxy_request_head.h"

using tarvo::service::ProxyRequestHead;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<ProxyRequestHead> head = ProxyRequestHead::Parse(tarvo::fuzz::AsText(data, size));
  if (!head) {
    return 0;
  }
  (void)head->BasicCredentials();
  (void)head->Header("Host");
  if (!head->host().empty() && (head->port() <= 0 || head->port() > 65535)) {
    tarvo::fuzz::Fail("a destination without a usable port");
  }
  if (!head->IsConnect()) {
    std::string forwarded = head->ForwardedHead();
    std::transform(forwarded.begin(), forwarded.end(), forwarded.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (forwarded.find("\nproxy-authorization:") != std::string::npos) {
      tarvo::fuzz::Fail("the client's proxy credentials were forwarded");
    }
  }
  return 0;
}
