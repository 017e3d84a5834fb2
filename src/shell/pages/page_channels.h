#pragma once

#include <array>

#include "bus/typed_channel.h"
#include "shell/pages/page_records.h"

namespace tarvo::PageChannels {

// The page reports of the bus: the engines tell the window that holds a page what
// the page did. PageBusHandler applies them.
inline constexpr TypedChannel<AddPageRecord> kAddPage{u"mainwnd/pages/addpage"};
inline constexpr TypedChannel<PageFlagRecord> kIsLoading{u"mainwnd/page/isloading"};
inline constexpr TypedChannel<PageRedirectRecord> kTempRedirect{u"mainwnd/page/temp_redirect"};
// A navigation the engine turned into a download: the page takes back the step it
// recorded for it.
inline constexpr TypedChannel<PageTextRecord> kBecameDownload{u"mainwnd/page/became_download"};
inline constexpr TypedChannel<PageTextRecord> kSetIconUrl{u"mainwnd/page/set_icon_url"};
inline constexpr TypedChannel<PageTextRecord> kSetTitle{u"mainwnd/page/set_title"};
// The engine process that drew the page ended while the page was open.
inline constexpr TypedChannel<PageGoneRecord> kRendererGone{u"mainwnd/page/renderer_gone"};
// The page closed itself (a window a script opened, closed by that script or its
// own): its tab goes as if the user had closed it.
inline constexpr TypedChannel<PageGoneRecord> kClosedByPage{u"mainwnd/page/closed_by_page"};

// Every page-report channel, in poll order.
inline constexpr std::array<WStringView, 8> kAllKeys = {kAddPage.Key(),        kIsLoading.Key(),  kTempRedirect.Key(),
                                                        kBecameDownload.Key(), kSetIconUrl.Key(), kSetTitle.Key(),
                                                        kRendererGone.Key(),   kClosedByPage.Key()};

}  // namespace tarvo::PageChannels
