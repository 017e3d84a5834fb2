#include "e2e/page_server.h"

#include <httplib.h>

#include <cstdlib>
#include <filesystem>

#include "e2e/display.h"

namespace tarvo::e2e {

PageServer::PageServer() : server_(std::make_unique<httplib::Server>()) {
  // A form's fields are among the parameters of its request.
  const auto answer = [this](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back({request.path, request.get_header_value("Host"), request.get_header_value("Cookie"),
                           request.get_header_value("Accept-Language"), {request.params.begin(), request.params.end()}});
      if (const auto content = contents_.find(request.path); content != contents_.end()) {
        response.set_content(content->second.first, content->second.second.c_str());
        return;
      }
    }
    if (const char* data = std::getenv("TARVO_TEST_DATA"); data != nullptr && request.path.find("..") == std::string::npos) {
      const std::filesystem::path file = std::filesystem::path(data) / "e2e" / request.path.substr(1);
      if (request.path.size() > 1 && std::filesystem::is_regular_file(file)) {
        const std::string extension = file.extension().string();
        response.set_content(ReadFile(file), extension == ".mjs" || extension == ".js" ? "text/javascript"
                                                                                        : "text/html; charset=utf-8");
        return;
      }
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
  };
  server_->Get(".*", answer);
  server_->Post(".*", answer);
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

PageServer::~PageServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

void PageServer::SetContent(const std::string& path, std::string body, std::string type) {
  std::lock_guard<std::mutex> lock(mutex_);
  contents_[path] = {std::move(body), std::move(type)};
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
