#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo::service {

// The head of one request a proxy client sent: "CONNECT host:port HTTP/1.1" or
// "GET http://host[:port]/path HTTP/1.1", then header lines. A value object.
class ProxyRequestHead {
 public:
  // Parses the text up to (not including) the blank line. Nullopt when the request
  // line or a header line is malformed, or a line ends other than with CR LF.
  static std::optional<ProxyRequestHead> Parse(std::string_view head);

  const std::string& method() const { return method_; }
  bool IsConnect() const { return method_ == "CONNECT"; }

  // Where the request goes: host (lower case, IPv6 without brackets), port and, for
  // plain requests, the path with its query ("/" when the address has none).
  // Empty host when the target is neither "host:port" (CONNECT) nor an absolute
  // "http://" address.
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  const std::string& path() const { return path_; }

  // The value of the first header called `name` (compared without case), or nullopt.
  std::optional<std::string> Header(std::string_view name) const;

  // User name and password of a "Proxy-Authorization: Basic ..." header.
  std::optional<std::pair<std::string, std::string>> BasicCredentials() const;

  // The request to send on to the destination: origin-form request line, the same
  // headers without the proxy's own (Proxy-Authorization, Proxy-Connection,
  // Connection, Keep-Alive) and "Connection: close", ending with the blank line.
  std::string ForwardedHead() const;

 private:
  bool ParseTarget(std::string_view target);

  std::string method_;
  std::string version_;
  std::string host_;
  int port_ = 0;
  std::string path_;
  std::vector<std::pair<std::string, std::string>> headers_;
};

}  // namespace tarvo::service
