#include "account/account_state.h"

#include <algorithm>

#include "url/url_parts.h"

namespace tarvo {

AccountState& AccountState::Instance() {
  static AccountState* state = new AccountState();  // never destroyed: worker threads outlive exit
  return *state;
}

WString AccountState::UserId() const {
  std::lock_guard lock(mutex_);
  return userId_;
}

void AccountState::SetUserId(WString id) {
  std::lock_guard lock(mutex_);
  userId_ = std::move(id);
}

WString AccountState::Token() const {
  std::lock_guard lock(mutex_);
  return token_;
}

void AccountState::SetToken(WString token) {
  std::lock_guard lock(mutex_);
  token_ = std::move(token);
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
