#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bus/bus_keys.h"
#include "bus/bus_string.h"
#include "bus/typed_channel.h"
#include "platform/text.h"

namespace tarvo::BusChannels {

// The bus's channels that ask a main window for something, with their payloads. The
// page reports ("mainwnd/pages/addpage", "mainwnd/page/...") carry the page model's
// records and are declared beside them, in shell/pages/page_channels.h.

using UrlChannel = TypedChannel<BusString, BusString::Deleter>;
// The addresses of the "openallurl" channels, in order.
using UrlList = std::vector<WString>;
using UrlListChannel = TypedChannel<UrlList>;
// A favourite's record id.
using FavoriteIdChannel = TypedChannel<int64_t>;

inline constexpr UrlChannel kWindowOpenUrl{BusKeys::kWindowOpenUrl};
inline constexpr UrlChannel kTabOpenUrl{BusKeys::kTabOpenUrl};
inline constexpr SignalChannel kTabOpenHome{BusKeys::kTabOpenHome};
inline constexpr UrlListChannel kTabOpenAllUrl{BusKeys::kTabOpenAllUrl};
inline constexpr SignalChannel kTabOpenResetPassword{BusKeys::kTabOpenResetPassword};
inline constexpr UrlListChannel kWindowOpenAllUrl{BusKeys::kWindowOpenAllUrl};
inline constexpr UrlChannel kPrivateWindowOpenUrl{BusKeys::kPrivateWindowOpenUrl};
inline constexpr UrlListChannel kPrivateWindowOpenAllUrl{BusKeys::kPrivateWindowOpenAllUrl};
inline constexpr UrlChannel kClipboardCopyUrl{BusKeys::kClipboardCopyUrl};
inline constexpr UrlChannel kShowFavoriteWnd{BusKeys::kShowFavoriteWnd};
inline constexpr SignalChannel kHideFavoriteBar{BusKeys::kHideFavoriteBar};
inline constexpr SignalChannel kReflashFavoriteBar{BusKeys::kReflashFavoriteBar};
inline constexpr FavoriteIdChannel kShowRenameWnd{BusKeys::kShowRenameWnd};
inline constexpr SignalChannel kLogout{BusKeys::kLogout};
inline constexpr SignalChannel kProtectReflashButton{BusKeys::kProtectReflashButton};
inline constexpr SignalChannel kProtectShowDialog{BusKeys::kProtectShowDialog};
inline constexpr SignalChannel kProtectShowVpn403{BusKeys::kProtectShowVpn403};
inline constexpr SignalChannel kProtectShowVpnFailed{BusKeys::kProtectShowVpnFailed};
inline constexpr SignalChannel kProtectShowFindDialog{BusKeys::kProtectShowFindDialog};

// Posts `url` as a new BusString; false when it could not be made or queued.
inline bool PostUrl(const UrlChannel& channel, WStringView url) {
  return channel.Post(UrlChannel::Owned(BusString::Create(url)));
}

}  // namespace tarvo::BusChannels
