#pragma once
// Language keys of the account's windows. In these windows a text control is named
// after the key of its text, so each table lists the controls that fill themselves.
#include <array>

#include "platform/text.h"

namespace tarvo::AccountLanguageKeys {

inline constexpr std::array<WStringView, 26> kLoginTexts = {
    u"login/regist",        u"login/autologin",       u"personreg/personreg",    u"companyreg/companyreg",
    u"login/noacct",        u"login/p1_registperson", u"login/email",            u"login/password",
    u"login/canlogin",      u"login/loginbtn",        u"login/registperson",     u"login/registperson_label",
    u"companyreg/descript", u"personreg/descript",    u"companyreg/regor",       u"personreg/regor",
    u"companyreg/login",    u"personreg/login",       u"companyreg/license",     u"personreg/license",
    u"companyreg/regbtn",   u"personreg/regbtn",      u"companyreg/password",    u"personreg/password",
    u"companyreg/email",    u"personreg/email",
};
inline constexpr WStringView kPleaseCheck = u"login/tip_pleasecheck";
inline constexpr WStringView kToCompany = u"login/tocompany";
inline constexpr WStringView kPersonalTab = u"login/personal_tab";
inline constexpr WStringView kCompanyTab = u"login/company_tab";
inline constexpr WStringView kLoggingIn = u"login/working";
inline constexpr WStringView kLoginFailed = u"login/failed";
inline constexpr WStringView kRegistering = u"login/registering";
inline constexpr WStringView kFillBoth = u"login/fill_both";
inline constexpr WStringView kUnsentFavorites = u"logout/unsent_favorites";

inline constexpr std::array<WStringView, 4> kSuccessTexts = {
    u"regsuccess/loginbtn", u"regsuccess/succ_begin", u"regsuccess/succ_end", u"regsuccess/login",
};
inline constexpr WStringView kSuccessAccount = u"regsuccess/acct";

inline constexpr std::array<WStringView, 7> kFailedTexts = {
    u"regfailed/failed_1", u"regfailed/failed_2", u"regfailed/failed_3", u"regfailed/failed_4",
    u"regfailed/failed_5", u"regfailed/reg_btn",  u"regsuccess/login",
};
inline constexpr WStringView kRetryCompany = u"regfailed/reg_company_btn";
inline constexpr WStringView kRetryPersonal = u"regfailed/reg_person_btn";

// The protection panel and the VPN button.
inline constexpr std::array<WStringView, 11> kProtectTexts = {
    u"protect/protect",       u"protect/protect_switch_on", u"protect/protect_switch_off", u"protect/descript",
    u"protect/speed",         u"protect/canuse",            u"protect/countryselect",      u"protect/districtselect",
    u"protect/districtdescript", u"protect/connectbtn",     u"protect/closebtn",
};
inline constexpr WStringView kSwitchOn = u"protect/protect_switch_on";
inline constexpr WStringView kSwitchOff = u"protect/protect_switch_off";
inline constexpr WStringView kCanUse = u"protect/canuse";
inline constexpr WStringView kCountrySelect = u"protect/countryselect";
inline constexpr WStringView kDistrictSelect = u"protect/districtselect";
inline constexpr WStringView kDistrictDescript = u"protect/districtdescript";
inline constexpr WStringView kConnectButton = u"protect/connectbtn";
inline constexpr WStringView kConnecting = u"protect/connecting";
inline constexpr WStringView kNoTime = u"protect/des_notime";
inline constexpr WStringView kFailed = u"protect/des_failed";
inline constexpr WStringView kBrowserFailed = u"protect/des_brfailed";
inline constexpr WStringView kSuccess = u"protect/des_success";
inline constexpr WStringView kVpnOnTip = u"protect/vpn_on_tip";
inline constexpr WStringView kVpnOffTip = u"protect/vpn_off_tip";
inline constexpr WStringView kVpnWorkingTip = u"protect/vpn_working_tip";
inline constexpr WStringView kVpnHint = u"protect/vpn_hint";
// The tabs the VPN does not carry, in the panel, and the open pages reloaded when it
// came on.
inline constexpr WStringView kUnprotectedTitle = u"protect/unprotected_title";
inline constexpr WStringView kUnprotectedTabs = u"protect/unprotected_tabs";
inline constexpr WStringView kUnprotectedMore = u"protect/unprotected_more";
inline constexpr WStringView kPagesReloaded = u"protect/pages_reloaded";

}  // namespace tarvo::AccountLanguageKeys
