#pragma once

#include <optional>
#include <string>

namespace tarvo::service::test {

// Sends `request` as it stands to address:port and returns everything received until
// the peer closes (or 10 s pass). For requests no well-behaved client would send.
std::string RawExchange(int port, const std::string& request, const std::string& address = "127.0.0.1");

struct FetchResult {
  bool transferred = false;  // false: the connection or transfer failed
  long status = 0;
  std::string body;
};

// GET `url`, through an HTTP proxy on 127.0.0.1:proxyPort when that is not 0, with
// Basic proxy credentials when `credentials` ("user:password") is given, as a CONNECT
// tunnel when `tunnel` is set.
FetchResult Fetch(const std::string& url, int proxyPort = 0,
                  const std::optional<std::string>& credentials = std::nullopt, bool tunnel = false);

}  // namespace tarvo::service::test
