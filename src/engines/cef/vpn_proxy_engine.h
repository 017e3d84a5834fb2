#pragma once

#include "account/i_vpn_proxy_engine.h"

namespace tarvo {

// The VPN's way into the Chromium engine: the engine's "proxy" preference, set to
// {"mode": "fixed_servers", "server": address:port} to connect and to an empty mode
// and server to go back to the system settings. On the engine's thread (the GUI
// thread) the preference is set at once, so the result is the engine's; from any
// other thread the change is posted there and the result says whether it could be.
//
// Threads: any. Stateless; start-up makes one for the whole run.
class VpnProxyEngine : public IVpnProxyEngine {
 public:
  bool ConnectVpn(const WString& address, const WString& port) override;
  void DisconnectVpn() override;

 private:
  static bool SetProxy(const WString& mode, const WString& server);
};

}  // namespace tarvo
