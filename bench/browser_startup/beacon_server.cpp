#include "bench/browser_startup/beacon_server.h"

#include <httplib.h>

namespace {
// Nothing but text: what is timed is the browser, not the page.
constexpr const char* kPage =
    "<!doctype html><html><head><meta charset=\"utf-8\"><title>start-up</title></head>"
    "<body><h1>start-up</h1><script>"
    "window.addEventListener('load', function () {"
    "  fetch('/beacon?' + Date.now() + Math.random(), {cache: 'no-store'});"
    "});"
    "</script></body></html>";
}  // namespace

BeaconServer::BeaconServer() : server_(std::make_unique<httplib::Server>()) {
  server_->Get("/page", [](const httplib::Request&, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    response.set_content(kPage, "text/html; charset=utf-8");
  });
  server_->Get("/beacon", [this](const httplib::Request&, httplib::Response& response) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++beacons_;
    }
    arrived_.notify_all();
    response.set_content("ok", "text/plain");
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

BeaconServer::~BeaconServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string BeaconServer::PageUrl(int tab) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/page?tab=" + std::to_string(tab);
}

void BeaconServer::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  beacons_ = 0;
}

bool BeaconServer::WaitForBeacons(int count, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, limit, [&] { return beacons_ >= count; });
}
