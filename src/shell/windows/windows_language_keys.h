#pragma once
// Language keys of the shell's menus and small windows. Each table pairs a control
// with the key of its text, so a window fills itself by walking its table.
#include <array>
#include <utility>

#include "platform/text.h"

namespace tarvo::WindowsLanguageKeys {

using ControlText = std::pair<const char16_t*, WStringView>;  // control name, language key

inline constexpr std::array<ControlText, 16> kMainMenu = {{
    {u"history_btn", u"menu/history"},         {u"download_btn", u"menu/download"},
    {u"setting_btn", u"menu/setting"},         {u"newwnd_btn", u"menu/newwindow"},
    {u"newincog_btn", u"menu/newhidewindow"},  {u"savepic_btn", u"menu/pagesaveas"},
    {u"savefile_btn", u"menu/pagesavehtml"},   {u"search_btn", u"menu/find"},
    {u"fullscreen_btn", u"menu/fullscreen"},   {u"screenshot_btn", u"menu/screensave"},
    {u"empty_btn", u"menu/clearhistory"},      {u"language_btn", u"menu/language"},
    {u"option_btn", u"menu/options"},          {u"upgrade_btn", u"menu/checkupdate"},
    {u"default_btn", u"menu/setdefault"},      {u"favor_btn", u"menu/favorbar"},
}};
inline constexpr WStringView kMenuLogin = u"menu/login";
inline constexpr WStringView kMenuAccount = u"menu/account";
inline constexpr WStringView kMenuLogout = u"menu/logout";
// What a screen reader calls the main menu.
inline constexpr WStringView kMenuTitle = u"menu/title";
// The tooltip of every window's close button (a cross, no text).
inline constexpr WStringView kDialogClose = u"dialog/close";

inline constexpr std::array<ControlText, 6> kMainRightMenu = {{
    {u"new_tab_btn", u"mainrightmenu/new_tab"},
    {u"showfavorbar_btn", u"mainrightmenu/show_favor_bar"},
    {u"showstatusbar_btn", u"mainrightmenu/show_status_bar"},
    {u"showsearchbar_btn", u"mainrightmenu/show_search_bar"},
    {u"changeskin_btn", u"mainrightmenu/change_skin"},
    {u"close_btn", u"mainrightmenu/close"},
}};

inline constexpr std::array<ControlText, 3> kTabRightMenu = {{
    {u"tabrightmenu/pin_tab", u"tabrightmenu/pin_tab"},
    {u"tabrightmenu/unpin_tab", u"tabrightmenu/unpin_tab"},
    {u"close_btn", u"tabrightmenu/close"},
}};

inline constexpr std::array<ControlText, 1> kFind = {{{u"find/title", u"find/title"}}};
// The find window's arrow buttons show only pictures; these are their tooltips.
inline constexpr std::array<ControlText, 2> kFindToolTips = {{
    {u"find/back_btn", u"find/back_btn"},
    {u"find/next_btn", u"find/next_btn"},
}};

// The rename window's captions are language pictures; these texts are their tooltips.
inline constexpr std::array<ControlText, 4> kRename = {{
    {u"rename/title", u"rename/title"},
    {u"rename/name", u"rename/name"},
    {u"rename/okbtn", u"rename/okbtn"},
    {u"rename/ccbtn", u"rename/ccbtn"},
}};

inline constexpr std::array<ControlText, 3> kMessageBox = {{
    {u"message_title", u"msgbox/title"},
    {u"ensure_btn", u"msgbox/ok"},
    {u"cancel_btn_btn", u"msgbox/cancel"},
}};

// The language menu names each language by "language/" + the pack's name.
inline constexpr WStringView kLanguageNamePrefix = u"language/";
inline constexpr std::array<WStringView, 2> kShippedLanguageNames = {u"language/usa", u"language/china"};

}  // namespace tarvo::WindowsLanguageKeys
