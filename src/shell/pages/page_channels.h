#pragma once

#include <array>

#include "bus/bus_keys.h"
#include "bus/typed_channel.h"
#include "shell/pages/page_records.h"

namespace tarvo::PageChannels {

// The page reports of the bus: the engines tell the window that holds a page what
// the page did. PageBusHandler applies them.
inline constexpr TypedChannel<AddPageRecord> kAddPage{BusKeys::kPagesAddPage};
inline constexpr TypedChannel<PageFlagRecord> kIsLoading{BusKeys::kPageIsLoading};
inline constexpr TypedChannel<PageRedirectRecord> kTempRedirect{BusKeys::kPageTempRedirect};
// A navigation the engine turned into a download: the page takes back the step it
// recorded for it.
inline constexpr TypedChannel<PageTextRecord> kBecameDownload{BusKeys::kPageBecameDownload};
inline constexpr TypedChannel<PageTextRecord> kSetIconUrl{BusKeys::kPageSetIconUrl};
inline constexpr TypedChannel<PageTextRecord> kSetTitle{BusKeys::kPageSetTitle};
// The engine process that drew the page ended while the page was open.
inline constexpr TypedChannel<PageGoneRecord> kRendererGone{BusKeys::kPageRendererGone};

// Every page-report channel, in poll order.
inline constexpr std::array<WStringView, 7> kAllKeys = {kAddPage.Key(),        kIsLoading.Key(),  kTempRedirect.Key(),
                                                        kBecameDownload.Key(), kSetIconUrl.Key(), kSetTitle.Key(),
                                                        kRendererGone.Key()};

}  // namespace tarvo::PageChannels
