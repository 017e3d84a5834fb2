#pragma once

#include <atomic>

namespace tarvo {

// The process-wide login and VPN connection state.
//
// Threads: the white-list flag is written by start-up on the first thread and read
// by the engine's request handling and the service loop; it is atomic.
class AccountState {
 public:
  // The one state, created on first use and never destroyed.
  static AccountState& Instance();

  // Whether the VPN white list restricts the proxy to listed sites. On when the state
  // is created; start-up switches it off.
  bool IsWhiteListActive() const { return whiteListActive_.load(); }
  void SetWhiteListActive(bool active) { whiteListActive_.store(active); }

 private:
  AccountState() = default;

  std::atomic<bool> whiteListActive_ = true;
};

}  // namespace tarvo
