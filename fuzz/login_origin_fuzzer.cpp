// The log-in site of addresses that pages name (a frame's origin, the page's own
// address): an origin, once made, is its own origin, and a page's log-in site is its
// origin when the URL model maps nothing. The input is the address.
#include "fuzz_support.h"
#include "passwords/login_site.h"
#include "platform/text.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const WString address = Utf8ToWide(fuzz::AsText(data, size));
  const WString origin = LoginSite::OriginOf(address);
  if (origin.empty()) return 0;
  if (LoginSite::OriginOf(origin) != origin) fuzz::Fail("an origin is not its own origin");
  const auto site = LoginSite::Of(address, [](WStringView url) { return LoginSite::Mapping{WString(url), WString()}; });
  if (!site || site->origin != origin) fuzz::Fail("an unmapped page's log-in site is not its origin");
  return 0;
}
