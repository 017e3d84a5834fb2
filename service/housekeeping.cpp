#include "housekeeping.h"

#include <exception>
#include <iostream>

#include "service_database.h"
#include "vpn_connections.h"

namespace tarvo::service {

Housekeeping::Housekeeping(ServiceDatabase& db, const VpnConnections& connections, ServiceClock clock,
                           std::chrono::seconds interval)
    : db_(db), connections_(connections), clock_(std::move(clock)), interval_(interval) {}

Housekeeping::~Housekeeping() { Stop(); }

void Housekeeping::Start() {
  thread_ = std::thread([this] {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, interval_, [this] { return stopping_; })) {
      lock.unlock();
      RunOnce();
      lock.lock();
    }
  });
}

void Housekeeping::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void Housekeeping::RunOnce() const {
  const int64_t now = clock_();
  try {
    db_.Write([&](DatabaseConnection& db) {
      db.Prepare("DELETE FROM tokens WHERE expires_at<=?1").Bind(1, now).Run();
      connections_.Purge(db, now);
      db.Prepare("DELETE FROM launches WHERE at<?1 OR id<=(SELECT MAX(id) FROM launches)-?2")
          .Bind(1, now - kKeepLaunchSeconds)
          .Bind(2, kMaxLaunches)
          .Run();
    });
  } catch (const std::exception& error) {
    std::cerr << "tarvo-service: housekeeping: " << error.what() << std::endl;
  }
}

}  // namespace tarvo::service
