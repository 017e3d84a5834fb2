#pragma once

namespace tarvo::PagesLanguageKeys {

// The label of a tab whose page has no title yet, and the text that replaces the
// engines' own "新标签页" title.
inline constexpr char16_t kTabNew[] = u"tab/new";
// The tooltip, and so the name, of a tab's close button.
inline constexpr char16_t kTabClose[] = u"tab/close";
// A tab whose renderer died: its label ("%1" is the page's title) and the notice in
// its place.
inline constexpr char16_t kTabCrashed[] = u"tab/crashed";
inline constexpr char16_t kCrashedTitle[] = u"crashed/title";
inline constexpr char16_t kCrashedText[] = u"crashed/text";
inline constexpr char16_t kCrashedReload[] = u"crashed/reload";

// The tooltip of a tab the VPN does not carry (a compatibility page while it is on).
inline constexpr char16_t kTabVpnUnprotected[] = u"tab/vpn_unprotected";

inline constexpr const char16_t* kAll[] = {kTabNew, kTabClose, kTabCrashed, kCrashedTitle, kCrashedText, kCrashedReload, kTabVpnUnprotected};

}  // namespace tarvo::PagesLanguageKeys
