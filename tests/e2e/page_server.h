#pragma once
// The loopback web server of the end-to-end tests: "/set-cookie" sets a persistent
// and a session cookie, "/set-private-cookie" the persistent "e2e_private", a path
// given content by SetContent answers that, a path naming a file of the test data's
// "e2e" folder that file, every other path a small page, to GET and POST alike. It
// remembers each request's path, parameters (a form's fields too), Host, Cookie and
// Accept-Language headers.
//
// Threads: the server's own threads record requests under mutex_; the test thread
// reads them.
#include <map>
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
    std::string host;  // the Host header: the name the page was asked under
    std::string cookie;
    std::string acceptLanguage;
    std::multimap<std::string, std::string> query;
  };

  PageServer();
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  // `path` answers `body` as `type` from now on.
  void SetContent(const std::string& path, std::string body, std::string type);

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
  std::map<std::string, std::pair<std::string, std::string>> contents_;  // path -> body, type
};

}  // namespace tarvo::e2e
