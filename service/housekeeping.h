#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "service_clock.h"

namespace tarvo::service {

class ServiceDatabase;
class VpnConnections;

// Forgets on a schedule what nobody will ask for again, so rows added by anyone who
// can reach the service do not pile up: expired session tokens, VPN connections
// that ran out (closed and charged first) or were closed long ago, and launch
// reports older than kKeepLaunchSeconds or beyond the newest kMaxLaunches.
//
// Threads: Start and Stop on the owner's thread; the schedule runs on a thread of
// its own; RunOnce on any thread (it takes the database's write lock).
class Housekeeping {
 public:
  static constexpr int64_t kKeepLaunchSeconds = 90LL * 24 * 60 * 60;
  static constexpr int64_t kMaxLaunches = 100000;

  // `db` and `connections` must outlive this object.
  Housekeeping(ServiceDatabase& db, const VpnConnections& connections, ServiceClock clock,
               std::chrono::seconds interval);
  ~Housekeeping();
  Housekeeping(const Housekeeping&) = delete;
  Housekeeping& operator=(const Housekeeping&) = delete;

  void Start();
  // Idempotent; waits for a round under way.
  void Stop();

  // One round now. Failures are reported on standard error; the next round tries
  // again.
  void RunOnce() const;

 private:
  ServiceDatabase& db_;
  const VpnConnections& connections_;
  const ServiceClock clock_;
  const std::chrono::seconds interval_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;  // guarded by mutex_
  std::thread thread_;
};

}  // namespace tarvo::service
