#pragma once
// The account's bus channel: the user logged out, which every main window hears (it
// leaves the user centre's pages). The account feature routes it when it registers.
#include "bus/typed_channel.h"

namespace tarvo::AccountChannels {

inline constexpr SignalChannel kLogout{u"mainwnd/logout"};

}  // namespace tarvo::AccountChannels
