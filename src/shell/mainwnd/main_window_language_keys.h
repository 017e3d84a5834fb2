#pragma once
// Language keys of the main window: its tooltips (which control shows which text)
// and the messages of the protection switch.
#include <array>

#include "platform/text.h"

namespace tarvo {

struct ToolbarToolTip {
  const char* control;
  WStringView languageKey;
};

inline constexpr std::array<ToolbarToolTip, 11> kToolbarToolTips = {{
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
}};

inline constexpr WStringView kVpnRefusedMessage = u"protect/vpn403";
inline constexpr WStringView kVpnFailedMessage = u"protect/connect_failed_retry";
inline constexpr WStringView kSaveFailedMessage = u"mainwnd/save_failed";
inline constexpr WStringView kPrintFailedMessage = u"mainwnd/print_failed";
// A private window's marker on its tab row and its title.
inline constexpr WStringView kPrivateMark = u"mainwnd/private";
inline constexpr WStringView kPrivateTitle = u"mainwnd/private_title";

}  // namespace tarvo
