#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::service {

// The client a load balancer names in the X-Forwarded-For header it adds: the
// last entry, the one the balancer itself appended (earlier ones come from the
// client and prove nothing). `forwardedFor` is every X-Forwarded-For line of the
// request joined in order (FrontRequest::JoinedHeader): a balancer such as HAProxy
// adds a line of its own after the client's rather than extending the client's.
// Nullopt unless that entry is a numeric IPv4 or IPv6 address.
std::optional<std::string> ForwardedClient(std::string_view forwardedFor);

}  // namespace tarvo::service
