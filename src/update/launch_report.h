#pragma once

#include <atomic>

#include "platform/text.h"

namespace tarvo {

// The report of one browser start to the service ("app/v1.0/log_client_launch"),
// sent once per start: Send on every round of the service loop posts it until the
// service has answered once (a start while the service is unreachable is reported
// when it can be reached). An answer other than code 200 also ends the attempts:
// the same report would only be refused again.
//
// Threads: Send on one thread at a time (the service loop); answered() from any.
class LaunchReport {
 public:
  LaunchReport(WString brand, WString ownVersion) : brand_(std::move(brand)), ownVersion_(std::move(ownVersion)) {}

  // Posts the report unless the service answered one already. 0 when the service
  // answered with code 200 (now or before), -1 otherwise. Blocking.
  int Send();
  bool answered() const { return answered_; }

 private:
  const WString brand_;
  const WString ownVersion_;
  std::atomic<bool> answered_{false};
  int result_ = -1;
};

}  // namespace tarvo
