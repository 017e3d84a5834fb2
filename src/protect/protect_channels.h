#pragma once
// The protection's bus channels: the VPN's operations and the protection window tell
// the main windows that the protection state changed (every window's button), or ask
// the window used last to show the protection panel or a VPN message. The protection
// feature routes them when it registers.
#include "bus/typed_channel.h"

namespace tarvo::ProtectChannels {

inline constexpr SignalChannel kRefreshButton{u"mainwnd/protect/reflash_button"};
inline constexpr SignalChannel kShowDialog{u"mainwnd/protect/show_dialog"};
inline constexpr SignalChannel kShowVpn403{u"mainwnd/protect/show_vpn403"};
inline constexpr SignalChannel kShowVpnFailed{u"mainwnd/protect/show_vpn_failed"};

}  // namespace tarvo::ProtectChannels
