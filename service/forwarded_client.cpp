#include "forwarded_client.h"

#include <arpa/inet.h>

namespace tarvo::service {

std::optional<std::string> ForwardedClient(std::string_view forwardedFor) {
  const size_t comma = forwardedFor.rfind(',');
  std::string_view last = comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1);
  while (!last.empty() && (last.front() == ' ' || last.front() == '\t')) {
    last.remove_prefix(1);
  }
  while (!last.empty() && (last.back() == ' ' || last.back() == '\t')) {
    last.remove_suffix(1);
  }
  const std::string address(last);
  unsigned char buffer[sizeof(in6_addr)];
  if (inet_pton(AF_INET, address.c_str(), buffer) != 1 && inet_pton(AF_INET6, address.c_str(), buffer) != 1) {
    return std::nullopt;
  }
  return address;
}

}  // namespace tarvo::service
