#include "account/account_state.h"

#include <algorithm>
#include <utility>

#include "url/url_parts.h"

namespace tarvo {

AccountState::User AccountState::CurrentUser() const {
  std::lock_guard lock(mutex_);
  return user_;
}

void AccountState::AddUserListener(UserListener listener) {
  std::lock_guard lock(mutex_);
  userListeners_.push_back(std::move(listener));
}

void AccountState::NotifyIfChanged(const WString& before) {
  std::vector<UserListener> listeners;
  WString now;
  {
    std::lock_guard lock(mutex_);
    now = user_.id;
    if (now != before) listeners = userListeners_;
  }
  for (const UserListener& listener : listeners) listener(now);
}

void AccountState::SetUser(User user) {
  const WString before = UserId();
  {
    std::lock_guard lock(mutex_);
    user_ = std::move(user);
  }
  NotifyIfChanged(before);
}

void AccountState::ClearUser() {
  const WString before = UserId();
  {
    std::lock_guard lock(mutex_);
    user_ = {};
    profile_ = {};
  }
  NotifyIfChanged(before);
}

bool AccountState::IsLoggedIn() const {
  std::lock_guard lock(mutex_);
  return !user_.id.empty();
}

WString AccountState::UserId() const {
  std::lock_guard lock(mutex_);
  return user_.id;
}

void AccountState::SetUserId(WString id) {
  const WString before = UserId();
  {
    std::lock_guard lock(mutex_);
    user_.id = std::move(id);
  }
  NotifyIfChanged(before);
}

AccountState::Profile AccountState::UserProfile() const {
  std::lock_guard lock(mutex_);
  return profile_;
}

void AccountState::SetUserProfile(Profile profile) {
  std::lock_guard lock(mutex_);
  profile_ = std::move(profile);
}

void AccountState::SetPendingLogout(std::optional<User> user) {
  std::lock_guard lock(mutex_);
  pendingLogout_ = std::move(user);
}

std::optional<AccountState::User> AccountState::TakePendingLogout() {
  std::lock_guard lock(mutex_);
  return std::exchange(pendingLogout_, std::nullopt);
}

WString AccountState::Token() const {
  std::lock_guard lock(mutex_);
  return user_.token;
}

void AccountState::SetToken(WString token) {
  std::lock_guard lock(mutex_);
  user_.token = std::move(token);
}

AccountState::VpnConnection AccountState::Connection() const {
  std::lock_guard lock(mutex_);
  return connection_;
}

void AccountState::SetConnection(VpnConnection connection) {
  std::lock_guard lock(mutex_);
  connection_ = std::move(connection);
}

bool AccountState::IsConnected() const {
  std::lock_guard lock(mutex_);
  return connection_.connected;
}

void AccountState::SetProxyApplied(bool applied) {
  std::lock_guard lock(mutex_);
  connection_.proxyApplied = applied;
}

void AccountState::SetProxyEngine(IVpnProxyEngine* engine) {
  std::lock_guard lock(mutex_);
  proxyEngine_ = engine;
}

IVpnProxyEngine* AccountState::ProxyEngine() const {
  std::lock_guard lock(mutex_);
  return proxyEngine_;
}

std::vector<VpnNode> AccountState::UserNodes() const {
  std::lock_guard lock(mutex_);
  return userNodes_;
}

void AccountState::SetUserNodes(std::vector<VpnNode> nodes) {
  std::lock_guard lock(mutex_);
  userNodes_ = std::move(nodes);
}

std::vector<VpnNode> AccountState::AnonymousNodes() const {
  std::lock_guard lock(mutex_);
  return anonymousNodes_;
}

void AccountState::SetAnonymousNodes(std::vector<VpnNode> nodes) {
  std::lock_guard lock(mutex_);
  anonymousNodes_ = std::move(nodes);
}

std::optional<int> AccountState::NodeLatency(const WString& nodeId) const {
  std::lock_guard lock(mutex_);
  const auto found = nodeLatencyMs_.find(nodeId);
  if (found == nodeLatencyMs_.end()) return std::nullopt;
  return found->second;
}

void AccountState::SetNodeLatency(const WString& nodeId, std::optional<int> milliseconds) {
  std::lock_guard lock(mutex_);
  if (milliseconds) {
    nodeLatencyMs_[nodeId] = *milliseconds;
  } else {
    nodeLatencyMs_.erase(nodeId);
  }
}

bool AccountState::IsWhiteListActive() const {
  std::lock_guard lock(mutex_);
  return whiteListActive_;
}

void AccountState::SetWhiteListActive(bool active) {
  std::lock_guard lock(mutex_);
  whiteListActive_ = active;
}

std::vector<WString> AccountState::WhiteList() const {
  std::lock_guard lock(mutex_);
  return whiteList_;
}

void AccountState::SetWhiteList(std::vector<WString> domains) {
  std::lock_guard lock(mutex_);
  whiteList_ = std::move(domains);
}

bool AccountState::IsWhiteListed(WStringView url) const {
  // The host is cut out before the lock: the URL operations read the settings.
  const WString host = GetUrlHost(url);
  std::lock_guard lock(mutex_);
  if (!whiteListActive_) return true;
  return std::find(whiteList_.begin(), whiteList_.end(), host) != whiteList_.end();
}

}  // namespace tarvo
