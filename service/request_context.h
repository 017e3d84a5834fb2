#pragma once

#include <string>

namespace tarvo::service {

// What an endpoint may know about the request besides its form: who sent it (for
// launch reports and attempt limits) and the host name the client addressed (only
// informative: nothing the service publishes is built from it).
struct RequestContext {
  std::string remoteAddress;
  std::string host;  // the Host header, "127.0.0.1:8360" for example; may be empty
};

}  // namespace tarvo::service
