#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace tarvo::service {

class ApiRouter;
class ServedFiles;

struct HttpFrontOptions {
  std::string listenAddress = "127.0.0.1";
  int port = 8360;  // 0 picks a free port
  // Form bodies are small; anything larger is refused with 413 before it is read.
  size_t maxBodyBytes = 256 * 1024;
  int threads = 8;
};

// The HTTP side of the service: endpoint requests (POST "/app/...") answered with
// reply envelopes, the password-reset page, installer downloads, mirror and test
// pages, and the proxies' counters at "/status/proxies". Every request is logged as
// one line on the log stream.
//
// Served mirrors listen on their own loopback addresses (127.0.0.11 ...), on the
// same port as the main address, so each mirror has an address of its own.
//
// Threads: Bind, Serve and Stop are called by the owner's thread; requests run on a
// pool of `threads` workers per address. The log stream is guarded by `logMutex_`.
class HttpFront {
 public:
  // `log` may be null (no request log); it must outlive this object.
  HttpFront(HttpFrontOptions options, std::ostream* log);
  ~HttpFront();
  HttpFront(const HttpFront&) = delete;
  HttpFront& operator=(const HttpFront&) = delete;

  // Binds the main address (throws ServiceError when it cannot) and each mirror
  // address on the same port (a mirror that cannot be bound is reported on standard
  // error and left out). Returns the port.
  int Bind(const std::vector<std::string>& mirrorAddresses);

  // Starts answering and returns once every address is being served. `router` and
  // `files` must outlive Stop; `proxyStatus` returns the proxies' counters as JSON.
  void Serve(const ApiRouter& router, const ServedFiles& files, std::function<std::string()> proxyStatus);

  // Stops accepting and waits for the workers. Idempotent.
  void Stop();

  int port() const { return port_; }
  const std::string& listenAddress() const { return options_.listenAddress; }

 private:
  std::unique_ptr<httplib::Server> MakeServer() const;
  void Install(httplib::Server& server, const ApiRouter& router, const ServedFiles& files,
               const std::function<std::string()>& proxyStatus);
  void Log(const httplib::Request& request, const httplib::Response& response);

  const HttpFrontOptions options_;
  std::ostream* const log_;  // not owned
  std::mutex logMutex_;
  int port_ = 0;
  std::vector<std::unique_ptr<httplib::Server>> servers_;
  std::vector<std::thread> listeners_;
};

}  // namespace tarvo::service
