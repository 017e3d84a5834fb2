#pragma once

#include <functional>
#include <optional>
#include <string>

#include "net/service_reply.h"
#include "service/tcp_connection.h"

namespace tarvo::service::test {

// A connection to 127.0.0.1:port from the loopback address `from` (127.x.y.z), so a
// test can stand for clients on many addresses; nullopt when it cannot be made.
std::optional<TcpConnection> ConnectFrom(const std::string& from, int port);

// Reads one answer through `read` (as recv: the count, 0 at the end, -1 on failure):
// up to the end of the body its Content-Length announces, or, without one, until the
// peer closes. What arrived.
std::string ReadAnswer(const std::function<long(char*, size_t)>& read);

// Sends `request` as it stands to address:port (from `from` when given) and returns
// its answer (ReadAnswer; within 10 s). For requests no well-behaved client would
// send, and for clients on other loopback addresses.
std::string RawExchange(int port, const std::string& request, const std::string& address = "127.0.0.1",
                        const std::string& from = "");
// The envelope code of a raw HTTP response (-1 when its body is no envelope).
int64_t EnvelopeCode(const std::string& response);

// A CONNECT tunnel through the proxy on 127.0.0.1:proxyPort to `destination`
// ("127.0.0.1:port" of an EchoServer), checked to carry bytes both ways; nullopt
// when it does not.
std::optional<TcpConnection> EchoTunnel(int proxyPort, const std::string& destination,
                                        const std::string& authorization);
// True when the peer ends the connection within 5 s, reading (and dropping) what
// arrives meanwhile.
bool EndsSoon(const TcpConnection& connection);

// A "Proxy-Authorization: Basic" header line for user and token.
std::string ProxyAuthorization(const std::string& user, const std::string& token);

// A form POST of `form` to `target` ("/app/v1.0/login", or a proxy's absolute
// address), `extraHeaders` (each ending in CRLF) before its length; the connection
// closes after its answer.
std::string FormRequest(const std::string& target, const std::string& form, const std::string& extraHeaders = "");

// A form POST to /`path` on 127.0.0.1:port from `from`; its envelope (code 0 when
// no envelope came back).
ServiceReply PostFrom(const std::string& from, int port, const std::string& path, const std::string& form);

struct FetchResult {
  long status = 0;
  std::string body;
};

// GET `url`, through an HTTP proxy on 127.0.0.1:proxyPort when that is not 0, with
// Basic proxy credentials when `credentials` ("user:password") is given, as a CONNECT
// tunnel when `tunnel` is set.
FetchResult Fetch(const std::string& url, int proxyPort = 0,
                  const std::optional<std::string>& credentials = std::nullopt, bool tunnel = false);

}  // namespace tarvo::service::test
