#pragma once
// Language keys of the main window: its tooltips (which control shows which text, and
// which a screen reader gives as the name of a button that shows only a picture), the
// names of its parts that have neither text nor tooltip, and the messages of the
// protection switch.
#include <array>

#include "platform/text.h"

namespace tarvo {

struct ToolbarToolTip {
  const char* control;
  WStringView languageKey;
};

inline constexpr std::array<ToolbarToolTip, 20> kToolbarToolTips = {{
    {"minbtn", u"mainwnd/tooltip/minbtn"},
    {"maxbtn", u"mainwnd/tooltip/maxbtn"},
    {"restorebtn", u"mainwnd/tooltip/restorebtn"},
    {"closebtn", u"mainwnd/tooltip/closebtn"},
    {"back_btn", u"mainwnd/tooltip/goback"},
    {"forward_btn", u"mainwnd/tooltip/goforward"},
    {"refresh_btn", u"mainwnd/tooltip/flash"},
    {"stop_btn", u"mainwnd/tooltip/flashstop"},
    {"home_go", u"mainwnd/tooltip/gohome"},
    {"empty_btn", u"mainwnd/tooltip/clear"},
    {"download_btn", u"mainwnd/tooltip/download"},
    {"logo_btn", u"mainwnd/tooltip/menu"},
    {"browser_tabadd", u"mainwnd/tooltip/newtab"},
    {"lock_btn", u"mainwnd/tooltip/lock"},
    {"protectsign_btn", u"mainwnd/tooltip/protectsign"},
    {"qrcode_btn", u"mainwnd/tooltip/qrcode"},
    {"favor_btn", u"mainwnd/tooltip/favor"},
    {"se_btn", u"mainwnd/tooltip/searchengine"},
    {"searchmini_btn", u"mainwnd/tooltip/searchengine"},
    {"search_btn", u"mainwnd/tooltip/search"},
}};

// Names for assistive technology only.
inline constexpr std::array<ToolbarToolTip, 4> kToolbarNames = {{
    {"browser_tabhead", u"mainwnd/accname/tabs"},
    {"AddressEdit", u"mainwnd/accname/address"},
    {"SearchEdit", u"mainwnd/accname/search"},
    {"favor_bar", u"mainwnd/accname/favorbar"},
}};

inline constexpr WStringView kSearchHint = u"mainwnd/tooltip/search";
inline constexpr WStringView kVpnRefusedMessage = u"protect/vpn403";
inline constexpr WStringView kCompatEngineFailedMessage = u"mainwnd/compat_engine_failed";
// The compatibility engine's pages are X11 windows: on another display server the user
// is told how to open them.
inline constexpr WStringView kCompatEngineNeedsX11Message = u"mainwnd/compat_engine_needs_x11";
inline constexpr WStringView kVpnFailedMessage = u"protect/connect_failed_retry";
inline constexpr WStringView kSaveFailedMessage = u"mainwnd/save_failed";
inline constexpr WStringView kPrintFailedMessage = u"mainwnd/print_failed";
// A private window's marker on its tab row and its title.
inline constexpr WStringView kPrivateMark = u"mainwnd/private";
inline constexpr WStringView kPrivateTitle = u"mainwnd/private_title";

}  // namespace tarvo
