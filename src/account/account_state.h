#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "account/i_vpn_proxy_engine.h"
#include "account/vpn_node.h"
#include "platform/text.h"

namespace tarvo {

// The profile's login and VPN connection state. Start-up makes the one the browser
// uses and hands it to the features, the engine and the windows; tests make their own.
//
// Threads: the account task queue and the service loop write it, the interface
// thread and the engine's request handling read it (every navigation, every proxy
// challenge); mutex_ guards every field, and readers get copies, so a reader never
// sees half of a change.
class AccountState {
 public:
  // The logged-in user as the login reply named it; an empty id means nobody.
  struct User {
    WString id;     // decimal text of the reply's "id"
    WString name;   // the account name as typed
    WString token;  // the session token
    WString group;  // "user_group"; the internal group may choose its VPN node
    bool selectPermission = false;
    int64_t loginTime = 0;  // seconds since 1970
  };
  // What the user-info request tells about the user.
  struct Profile {
    WString name;
    WString sex;
    WString status;
    WString photo;  // address of the profile photo
  };
  // The open VPN connection as the service granted it.
  struct VpnConnection {
    WString proxyAddress;  // the node's "ip"
    WString proxyPort;     // the node's "port"
    WString nodeId;
    WString proxyToken;    // "proxy_token" of the connection reply
    bool connected = false;
    bool proxyApplied = false;  // the proxy preference is set on the engine
    bool anonymous = false;     // opened without a login (cancelled the anonymous way)
  };

  AccountState() = default;
  AccountState(const AccountState&) = delete;
  AccountState& operator=(const AccountState&) = delete;

  // Hears the id of the user now logged in (empty after a log-out) each time the
  // user changes, on the thread that changed it, outside the state's lock. Added at
  // start-up (a feature that follows the user, e.g. the favourites).
  using UserListener = std::function<void(const WString& userId)>;
  void AddUserListener(UserListener listener);

  // The logged-in user (an empty id when nobody is). Any thread.
  User CurrentUser() const;
  void SetUser(User user);
  // Forgets the user and the profile. Any thread.
  void ClearUser();
  bool IsLoggedIn() const;
  // Decimal identifier of the logged-in user; empty when nobody logged in. Any thread.
  WString UserId() const;
  void SetUserId(WString id);
  Profile UserProfile() const;
  void SetUserProfile(Profile profile);
  // A log-out the service has not heard of yet (its id and token). Any thread.
  void SetPendingLogout(std::optional<User> user);
  std::optional<User> TakePendingLogout();
  // The logged-in user's session token ("token" of the login reply); empty when
  // nobody logged in. Any thread.
  WString Token() const;
  void SetToken(WString token);

  // A copy of the connection state. Any thread.
  VpnConnection Connection() const;
  // Replaces the connection state as one change. Any thread.
  void SetConnection(VpnConnection connection);
  bool IsConnected() const;
  // Sets or clears the proxy-applied flag alone. Any thread.
  void SetProxyApplied(bool applied);
  // Where the proxy is applied (non-owning; start-up installs the engine's, which
  // lives as long as the process). nullptr until then. Any thread.
  void SetProxyEngine(IVpnProxyEngine* engine);
  IVpnProxyEngine* ProxyEngine() const;

  // The logged-in user's nodes and the anonymous nodes, in reply order. Any thread.
  std::vector<VpnNode> UserNodes() const;
  void SetUserNodes(std::vector<VpnNode> nodes);
  std::vector<VpnNode> AnonymousNodes() const;
  void SetAnonymousNodes(std::vector<VpnNode> nodes);
  // The measured connect time to a node in milliseconds; nothing while unmeasured.
  std::optional<int> NodeLatency(const WString& nodeId) const;
  void SetNodeLatency(const WString& nodeId, std::optional<int> milliseconds);

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
  // Tells the listeners when the user's id changed from `before`.
  void NotifyIfChanged(const WString& before);

  mutable std::mutex mutex_;
  std::vector<UserListener> userListeners_;  // guarded by mutex_
  User user_;                              // guarded by mutex_
  Profile profile_;                        // guarded by mutex_
  std::optional<User> pendingLogout_;      // guarded by mutex_
  VpnConnection connection_;               // guarded by mutex_
  IVpnProxyEngine* proxyEngine_ = nullptr;  // guarded by mutex_; not owned
  std::vector<VpnNode> userNodes_;         // guarded by mutex_
  std::vector<VpnNode> anonymousNodes_;    // guarded by mutex_
  std::map<WString, int> nodeLatencyMs_;   // guarded by mutex_
  std::vector<WString> whiteList_;         // guarded by mutex_
  bool whiteListActive_ = true;            // guarded by mutex_
};

}  // namespace tarvo
