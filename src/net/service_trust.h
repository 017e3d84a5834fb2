#pragma once

#include "net/curl_library.h"

namespace tarvo {

class HttpUrl;

// How a TLS connection to the service's own host (the host of "app/apiurl") is
// verified: against the system's store, and the brand's own certification
// authorities (the "app/service_ca" file) for deployments whose certificate is
// issued by a CA of their own. The brand's authorities count for that host alone, so
// a key of theirs cannot stand in for any other site the browser downloads from.
//
// The system's store is read from its hashed folder (/etc/ssl/certs, kept by
// ca-certificates), a certificate at a time as the chain needs it: each of the
// browser's threads opens connections of its own to the service, and parsing the
// whole bundle for each would cost more than the handshake. Any thread.
class ServiceTrust {
 public:
  // True for an https:// address on the service's host.
  static bool IsServiceHost(const HttpUrl& url);
  // Sets the handle's trust for a connection to the service's host.
  static void Apply(const CurlLibrary& library, CURL* curl);
};

}  // namespace tarvo
