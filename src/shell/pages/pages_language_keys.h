#pragma once

namespace tarvo::PagesLanguageKeys {

// The label of a tab whose page has no title yet, and the text that replaces the
// engines' own "新标签页" title.
inline constexpr char16_t kTabNew[] = u"tab/new";

inline constexpr const char16_t* kAll[] = {kTabNew};

}  // namespace tarvo::PagesLanguageKeys
