#include "e2e/page_server.h"

#include <httplib.h>

namespace tarvo::e2e {

PageServer::PageServer() : server_(std::make_unique<httplib::Server>()) {
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back({request.path, request.get_header_value("Cookie")});
    }
    if (request.path == "/set-cookie") {
      response.set_header("Set-Cookie", "e2e_kept=persistent-1; Max-Age=86400; Path=/");
      response.headers.emplace("Set-Cookie", "e2e_session=session-1; Path=/");
    } else if (request.path == "/set-private-cookie") {
      response.set_header("Set-Cookie", "e2e_private=private-1; Max-Age=86400; Path=/");
    }
    const std::string title = "Page " + request.path;
    response.set_content("<!doctype html><html><head><title>" + title + "</title></head><body><h1>" + title +
                             "</h1></body></html>",
                         "text/html; charset=utf-8");
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

PageServer::~PageServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string PageServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<PageServer::Request> PageServer::RequestsFor(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Request> found;
  for (const Request& request : requests_) {
    if (request.path == path) found.push_back(request);
  }
  return found;
}

}  // namespace tarvo::e2e
