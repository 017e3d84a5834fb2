#pragma once

#include "platform/text.h"

namespace tarvo {

// The URL model's string operations. None of them parses a URL in the general
// sense: they match fixed prefixes ("http://", "https://" and the internal scheme
// held in the settings key "usercenter/http", read on every call) and scan for fixed
// characters, and their results for unusual input are part of their contract.
// All are pure functions of their input and the settings: any thread, never fail.

// "http://" or "https://" when the URL begins with it, else "" (the internal scheme
// is never reported).
WString GetUrlScheme(WStringView url);

// The text after the recognised prefix up to the first ":" or "/" (or the end).
// Without a recognised prefix the scan starts at the first character.
WString GetUrlHost(WStringView url);

// Everything from the start up to the first "/" after the recognised prefix:
// scheme, host and port without the path.
WString GetUrlOrigin(WStringView url);

// With a recognised prefix, the rest from the first "/" after it ("" when none);
// without one, the whole input.
WString GetUrlPath(WStringView url);

// The host reduced to its registrable domain by the public suffix table.
WString GetRegistrableDomain(WStringView url);

// The file name after the last "/" before the last "."; `extension`, when given,
// receives the text after the last "." ("" without a dot). The file name is "" when
// there is no dot, no "/" before it, or that "/" is the first character.
WString GetUrlFileName(WStringView url, WString* extension = nullptr);

// True when `url` begins with the internal scheme ("usercenter/http"). An empty
// setting is no scheme at all, so it never matches.
bool HasInternalScheme(WStringView url);

}  // namespace tarvo
