#pragma once
// The info-table values that keep a login across restarts, and the node list.
namespace tarvo::AccountInfoKeys {

inline constexpr char16_t kLoginTime[] = u"vpnlogintime";  // seconds since 1970, decimal
inline constexpr char16_t kUserName[] = u"vpnusername";
inline constexpr char16_t kUserToken[] = u"vpnusertoken";
inline constexpr char16_t kUserId[] = u"vpnuserid";
inline constexpr char16_t kUserGroup[] = u"vpnusertype";
inline constexpr char16_t kCanSelect[] = u"vpncanselect";  // "1" or "0"
inline constexpr char16_t kNodeList[] = u"vpnnodelist";    // the last user node list, as received

}  // namespace tarvo::AccountInfoKeys
