#include "account/vpn_route.h"

#include "account/account_state.h"

namespace tarvo {

RequestRoute VpnRoute::For(WStringView url) const {
  const AccountState& account = *account_;
  const AccountState::VpnConnection connection = account.Connection();
  if (!connection.connected || !account.IsWhiteListed(url)) return {};
  WString user = account.UserId();
  if (user.empty()) user = u"nobody";
  return {"http://" + WideToUtf8(connection.proxyAddress) + ":" + WideToUtf8(connection.proxyPort),
          WideToUtf8(user) + ":" + WideToUtf8(connection.proxyToken)};
}

}  // namespace tarvo
