#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/text.h"

namespace tarvo {

// An address split the way every HTTP client splits it: whatever precedes the first
// "http://" or "https://" is dropped, the host runs to the first "/", "?" or "#", and a
// ":" in the host part splits off a decimal port. Addresses without a scheme are plain
// HTTP. A value type; any thread.
class HttpUrl {
 public:
  // Splits `url`. Returns nothing for an address no client can use: an empty host,
  // a host with blanks or control characters, or a port that is not a number from 1
  // to 65535 (an empty port after ":" means the default one).
  static std::optional<HttpUrl> Parse(WStringView url);
  static std::optional<HttpUrl> Parse(std::string_view utf8Url);

  bool secure() const { return secure_; }
  const std::string& host() const { return host_; }
  uint16_t port() const { return port_; }
  // The path from its "/" on, query included, fragment dropped, with blanks, control
  // characters and non-ASCII bytes percent-encoded; empty when the address has none.
  const std::string& path() const { return path_; }
  // What goes on the request line: the path, or "/" when there is none (an empty
  // request target is not valid HTTP).
  std::string RequestTarget() const;
  // The complete address again, with scheme and explicit port.
  std::string ToString() const;

  // Resolves a redirect's Location against this address: an absolute "http://" or
  // "https://" address, a "//host/..." address, an absolute path or a relative one.
  std::optional<HttpUrl> Resolve(std::string_view location) const;

 private:
  bool secure_ = false;
  std::string host_;
  uint16_t port_ = 80;
  std::string path_;
};

}  // namespace tarvo
