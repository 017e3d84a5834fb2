#pragma once

#include <array>
#include <cstdint>

#include "platform/text.h"

namespace tarvo::BusKeys {

// The names of every channel of the message bus. The main windows' poller drains
// them in kPollOrder on each timer tick, so a page is added before its loading,
// redirect, icon and title messages of the same tick are applied. What each channel
// carries is declared with it in bus/bus_channels.h and shell/pages/page_channels.h;
// senders and receivers use those typed channels, never these names directly.
inline constexpr char16_t kWindowOpenUrl[] = u"mainwnd/window/openurl";
inline constexpr char16_t kTabOpenUrl[] = u"mainwnd/tab/openurl";
inline constexpr char16_t kTabOpenHome[] = u"mainwnd/tab/openhome";
inline constexpr char16_t kTabOpenAllUrl[] = u"mainwnd/tab/openallurl";
inline constexpr char16_t kTabOpenResetPassword[] = u"mainwnd/tab/open_reset_pwd";
inline constexpr char16_t kWindowOpenAllUrl[] = u"mainwnd/window/openallurl";
inline constexpr char16_t kPrivateWindowOpenUrl[] = u"mainwnd/privatewindow/openurl";
inline constexpr char16_t kPrivateWindowOpenAllUrl[] = u"mainwnd/privatewindow/openallurl";
inline constexpr char16_t kPagesAddPage[] = u"mainwnd/pages/addpage";
inline constexpr char16_t kPageIsLoading[] = u"mainwnd/page/isloading";
inline constexpr char16_t kPageTempRedirect[] = u"mainwnd/page/temp_redirect";
inline constexpr char16_t kPageBecameDownload[] = u"mainwnd/page/became_download";
inline constexpr char16_t kPageSetIconUrl[] = u"mainwnd/page/set_icon_url";
inline constexpr char16_t kPageSetTitle[] = u"mainwnd/page/set_title";
inline constexpr char16_t kPageRendererGone[] = u"mainwnd/page/renderer_gone";
inline constexpr char16_t kClipboardCopyUrl[] = u"clipboard/copyurl";
inline constexpr char16_t kShowFavoriteWnd[] = u"mainwnd/showfavorwnd";
inline constexpr char16_t kHideFavoriteBar[] = u"mainwnd/hidefavorbar";
inline constexpr char16_t kReflashFavoriteBar[] = u"mainwnd/reflashfavorbar";
inline constexpr char16_t kShowRenameWnd[] = u"mainwnd/showrenamewnd";
inline constexpr char16_t kLogout[] = u"mainwnd/logout";
inline constexpr char16_t kProtectReflashButton[] = u"mainwnd/protect/reflash_button";
inline constexpr char16_t kProtectShowDialog[] = u"mainwnd/protect/show_dialog";
inline constexpr char16_t kProtectShowVpn403[] = u"mainwnd/protect/show_vpn403";
inline constexpr char16_t kProtectShowVpnFailed[] = u"mainwnd/protect/show_vpn_failed";
inline constexpr char16_t kProtectShowFindDialog[] = u"mainwnd/protect/show_find_dialog";

inline constexpr std::array<WStringView, 26> kPollOrder = {
    kWindowOpenUrl, kTabOpenUrl, kTabOpenHome, kTabOpenAllUrl,
    kTabOpenResetPassword, kWindowOpenAllUrl, kPagesAddPage, kPageIsLoading,
    kPageTempRedirect, kPageBecameDownload, kPageSetIconUrl, kPageSetTitle,
    kPageRendererGone, kClipboardCopyUrl, kShowFavoriteWnd, kHideFavoriteBar,
    kReflashFavoriteBar, kShowRenameWnd, kLogout, kProtectReflashButton,
    kProtectShowDialog, kProtectShowVpn403, kProtectShowVpnFailed, kProtectShowFindDialog,
    kPrivateWindowOpenUrl, kPrivateWindowOpenAllUrl,
};

}  // namespace tarvo::BusKeys
