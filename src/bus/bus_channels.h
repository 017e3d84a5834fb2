#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bus/bus_string.h"
#include "bus/typed_channel.h"
#include "platform/text.h"

namespace tarvo::BusChannels {

// The bus's channels that ask the browser's main windows for something anyone may
// ask (open an address in a tab or a window, copy it, find in the page), with their
// payloads. The page reports ("mainwnd/pages/addpage", "mainwnd/page/...") carry the
// page model's records and are declared beside them, in shell/pages/page_channels.h;
// a feature declares its own channels in its own folder.

using UrlChannel = TypedChannel<BusString, BusString::Deleter>;
// The addresses of the "openallurl" channels, in order.
using UrlList = std::vector<WString>;
using UrlListChannel = TypedChannel<UrlList>;

inline constexpr UrlChannel kWindowOpenUrl{u"mainwnd/window/openurl"};
inline constexpr UrlChannel kTabOpenUrl{u"mainwnd/tab/openurl"};
inline constexpr SignalChannel kTabOpenHome{u"mainwnd/tab/openhome"};
inline constexpr UrlListChannel kTabOpenAllUrl{u"mainwnd/tab/openallurl"};
inline constexpr SignalChannel kTabOpenResetPassword{u"mainwnd/tab/open_reset_pwd"};
inline constexpr UrlListChannel kWindowOpenAllUrl{u"mainwnd/window/openallurl"};
inline constexpr UrlChannel kPrivateWindowOpenUrl{u"mainwnd/privatewindow/openurl"};
inline constexpr UrlListChannel kPrivateWindowOpenAllUrl{u"mainwnd/privatewindow/openallurl"};
inline constexpr UrlChannel kClipboardCopyUrl{u"clipboard/copyurl"};
inline constexpr SignalChannel kShowFindDialog{u"mainwnd/show_find_dialog"};

// Posts `url` as a new BusString; false when it could not be made or queued.
inline bool PostUrl(const UrlChannel& channel, WStringView url) {
  return channel.Post(UrlChannel::Owned(BusString::Create(url)));
}

}  // namespace tarvo::BusChannels
