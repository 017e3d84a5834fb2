#pragma once
// Language keys of the settings window. The window fills its fixed controls (again,
// when the language changes) by walking kControls.
#include <array>

#include "platform/text.h"

namespace tarvo::PreferencesLanguageKeys {

// The fixed controls, each named after the key of its text.
inline constexpr std::array<WStringView, 15> kControls = {
    u"settings/title",       u"settings/startup",       u"settings/restore",      u"settings/tabs",
    u"settings/sleep",       u"settings/sleep_after",   u"settings/minutes",      u"settings/language",
    u"settings/search",      u"settings/privacy",       u"settings/exit_clean",   u"settings/default",
    u"settings/default_btn", u"settings/tab_general",   u"settings/tab_passwords"};

// The tooltip of the delay's field: the delays it takes.
inline constexpr WStringView kMinutesRange = u"settings/minutes_range";
// What the default-browser line says once the desktop has answered.
inline constexpr WStringView kIsDefault = u"settings/default_yes";
inline constexpr WStringView kIsNotDefault = u"settings/default_no";

}  // namespace tarvo::PreferencesLanguageKeys
