#pragma once
// An engine for the VPN that records the proxy it was told to use ("" when none).
#include <string>

#include "account/i_vpn_proxy_engine.h"
#include "platform/text.h"

namespace tarvo::test {

class RecordingProxyEngine : public IVpnProxyEngine {
 public:
  bool ConnectVpn(const WString& address, const WString& port) override {
    proxy = WideToUtf8(address + u":" + port);
    return true;
  }
  void DisconnectVpn() override { proxy.clear(); }
  std::string proxy;
};

}  // namespace tarvo::test
