#pragma once
// The favourites' bus channels: their bar and menus ask the main window used last to
// show the favourites window, hide or show the bar, or rename a favourite. The
// favourites feature routes them to its commands when it registers.
#include <cstdint>

#include "bus/bus_channels.h"
#include "bus/typed_channel.h"

namespace tarvo::FavoritesChannels {

// The address to add (empty: the current page's).
inline constexpr BusChannels::UrlChannel kShowFavoriteWnd{u"mainwnd/showfavorwnd"};
inline constexpr SignalChannel kHideFavoriteBar{u"mainwnd/hidefavorbar"};
inline constexpr SignalChannel kRefreshFavoriteBar{u"mainwnd/reflashfavorbar"};
// A favourite's record id.
inline constexpr TypedChannel<int64_t> kShowRenameWnd{u"mainwnd/showrenamewnd"};

}  // namespace tarvo::FavoritesChannels
