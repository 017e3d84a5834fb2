#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"

namespace tarvo {

// Percent-encodes a byte string: ASCII letters, digits and ":", "/", ".", "(", ")",
// "_" are copied; every other byte becomes "%" and two upper-case hexadecimal digits
// (so "-", "~" and blank are encoded too). Pure; any thread.
std::string PercentEncodeUtf8(std::string_view bytes);

// The local start page: "file:///" + the executable's folder + "home.html", with "\"
// turned into "/", percent-encoded as UTF-8. The folder's own leading "/" is not
// repeated, so the result is a well-formed file URL ("file:///opt/tarvo/home.html").
// Any thread.
WString GetHomePageUrl();

// The same for a given folder (UTF-8, ending in a separator); GetHomePageUrl uses it
// with the executable's folder.
WString HomePageUrlForFolder(std::string_view folder);

// True when `url` is the start page `startPage`, with or without a query (the search
// engine the new tab carries) or a fragment. The two may escape their paths
// differently (an engine reports "li lei" where the start page says "li%20lei").
// Pure; any thread.
bool IsStartPageUrl(WStringView url, WStringView startPage);

}  // namespace tarvo
