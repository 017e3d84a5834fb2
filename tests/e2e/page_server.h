#pragma once
// The loopback web server of the end-to-end tests: "/set-cookie" sets a persistent
// and a session cookie, "/set-private-cookie" the persistent "e2e_private", every
// other path answers a small page. It remembers each request's path and Cookie header.
//
// Threads: the server's own threads record requests under mutex_; the test thread
// reads them.
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace tarvo::e2e {

class PageServer {
 public:
  struct Request {
    std::string path;
    std::string cookie;
  };

  PageServer();
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const;
  // The requests for `path` so far.
  std::vector<Request> RequestsFor(const std::string& path) const;

 private:
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
};

}  // namespace tarvo::e2e
