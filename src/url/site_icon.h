#pragma once

#include <array>

#include "platform/text.h"

namespace tarvo {

// The five icon addresses of a site, in the order they are tried (R = registrable
// domain, S = scheme): origin + "/favicon.ico", S + R + "/favicon.ico",
// "http://" + R + "/favicon.ico", S + "www." + R + "/favicon.ico",
// "http://www." + R + "/favicon.ico". Pure; any thread.
std::array<WString, 5> GetFaviconCandidates(WStringView url);

// The file name of a cached icon: MD5 of the address's UTF-16LE bytes (two per code
// unit, no terminator) as 32 lower-case hexadecimal digits. Any thread.
WString GetIconCacheName(WStringView iconUrl);

}  // namespace tarvo
