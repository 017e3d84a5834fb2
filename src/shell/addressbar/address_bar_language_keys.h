#pragma once
// Language keys of the address bar and the search-engine chooser.
#include <array>

#include "platform/text.h"

namespace tarvo::AddressBarLanguageKeys {

// The chooser's buttons, in the order of its results 0 to 3.
inline constexpr std::array<WStringView, 4> kEngineButtonTexts = {u"search/baidu", u"search/360", u"search/sogou",
                                                                  u"search/google"};

}  // namespace tarvo::AddressBarLanguageKeys
