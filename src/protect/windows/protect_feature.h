#pragma once
// The protected sites join the browser: the toolbar shield's protection panel (a
// click and a right click both open it; it lists the tabs the VPN does not carry
// while it is on), the certification and QR commands with their buttons, and the
// service loop's refresh of the domain list and measurement of the mirrors.
//
// Threads: the first thread, at start-up, before the first window.
namespace tarvo {

struct FeatureHooks;

class ProtectFeature {
 public:
  static void Register(FeatureHooks& hooks);
};

}  // namespace tarvo
