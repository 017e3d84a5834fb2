#pragma once
// Language keys of the main menu's update and default-browser entries and of the
// messages they show. "%1" stands for a version, "%2" for the newer one.
#include "platform/text.h"

namespace tarvo::UpdateLanguageKeys {

inline constexpr WStringView kEntryCurrent = u"update/entry_current";
inline constexpr WStringView kEntryNewer = u"update/entry_newer";
inline constexpr WStringView kEntryChecking = u"update/entry_checking";
inline constexpr WStringView kReady = u"update/ready";
inline constexpr WStringView kUpToDate = u"update/up_to_date";
inline constexpr WStringView kPackaged = u"update/packaged";
inline constexpr WStringView kFailed = u"update/failed";
inline constexpr WStringView kRejected = u"update/rejected";
inline constexpr WStringView kInstallFailed = u"update/install_failed";
inline constexpr WStringView kDefaultDone = u"default/done";
inline constexpr WStringView kDefaultNoTool = u"default/no_tool";
inline constexpr WStringView kDefaultRefused = u"default/refused";

}  // namespace tarvo::UpdateLanguageKeys
