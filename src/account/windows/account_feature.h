#pragma once
// The account and the VPN join the browser: the account's commands, the toolbar's
// VPN switch and shield, the login check of the engine's proxy
// answers, the engine's proxy for the VPN (both through the engines' ports), the
// service loop's login check and white-list refresh, and the VPN going off at the end.
//
// Threads: the first thread, at start-up.

namespace tarvo {

struct FeatureHooks;

class AccountFeature {
 public:
  // How long the end waits for the service to hear that the VPN goes off.
  static constexpr int kEndWaitMs = 3000;

  static void Register(FeatureHooks& hooks);
};

}  // namespace tarvo
