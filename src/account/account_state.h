#pragma once

#include <mutex>
#include <vector>

#include "platform/text.h"

namespace tarvo {

// The process-wide login and VPN connection state.
//
// Threads: the interface thread and the service loop write it, the engine's request
// handling reads it on every navigation and proxy challenge; mutex_ guards every
// field, and readers get copies, so a reader never sees half of a change.
class AccountState {
 public:
  // The open VPN connection as the service granted it.
  struct VpnConnection {
    WString proxyAddress;  // the node's "ip"
    WString proxyPort;     // the node's "port"
    WString nodeId;
    WString proxyToken;    // "proxy_token" of the connection reply
    bool connected = false;
    bool proxyApplied = false;  // the proxy preference is set on the engine
  };

  // The one state, created on first use and never destroyed. Any thread.
  static AccountState& Instance();

  // Decimal identifier of the logged-in user; empty when nobody logged in. Any thread.
  WString UserId() const;
  void SetUserId(WString id);
  // The logged-in user's session token ("token" of the login reply); empty when
  // nobody logged in. Any thread.
  WString Token() const;
  void SetToken(WString token);

  // A copy of the connection state. Any thread.
  VpnConnection Connection() const;
  // Replaces the connection state as one change. Any thread.
  void SetConnection(VpnConnection connection);
  bool IsConnected() const;

  // Whether the VPN white list restricts the proxy to listed sites. On when the state
  // is created; start-up switches it off. Any thread.
  bool IsWhiteListActive() const;
  void SetWhiteListActive(bool active);
  // The decrypted white-list domains, in service order. Any thread.
  std::vector<WString> WhiteList() const;
  void SetWhiteList(std::vector<WString> domains);
  // True when the list is inactive, or the address's host equals one of its domains
  // exactly. Any thread.
  bool IsWhiteListed(WStringView url) const;

 private:
  AccountState() = default;

  mutable std::mutex mutex_;
  WString userId_;                 // guarded by mutex_
  WString token_;                  // guarded by mutex_
  VpnConnection connection_;       // guarded by mutex_
  std::vector<WString> whiteList_;  // guarded by mutex_
  bool whiteListActive_ = true;     // guarded by mutex_
};

}  // namespace tarvo
