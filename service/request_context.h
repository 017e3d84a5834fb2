#pragma once

#include <string>

namespace tarvo::service {

// What an endpoint may know about the request besides its form: who sent it and the
// host name the client addressed (used to build download addresses that work from
// wherever the client reached us).
struct RequestContext {
  std::string remoteAddress;
  std::string host;  // the Host header, "127.0.0.1:8360" for example; may be empty
};

}  // namespace tarvo::service
