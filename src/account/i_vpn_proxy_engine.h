#pragma once

#include "platform/text.h"

namespace tarvo {

// How the VPN operations reach the Chromium engine's proxy preference without
// knowing the engine: start-up installs the engine's implementation in AccountState.
// The compatibility engine is never affected.
//
// Threads: any thread; an implementation that must act on the engine's thread posts
// the work there.
class IVpnProxyEngine {
 public:
  virtual ~IVpnProxyEngine() = default;
  // Sends the engine's requests through the HTTP proxy at `address`:`port`. False
  // when the engine cannot take the setting (not running, or it refused it).
  virtual bool ConnectVpn(const WString& address, const WString& port) = 0;
  // Back to the system's proxy settings.
  virtual void DisconnectVpn() = 0;
};

}  // namespace tarvo
