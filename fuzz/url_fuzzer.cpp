// URL operations on addresses from pages, redirects and the service: the string
// operations of the URL model, the registrable domain (its hash look-up must agree
// with the walk over every rule), the socket client's address parser and redirect
// resolution (what it parses prints back to itself), icon names. The input is two
// texts separated by a newline: an address and a redirect location.
#include "fuzz_support.h"
#include "net/http_url.h"
#include "platform/text.h"
#include "url/public_suffix_table.h"
#include "url/site_icon.h"
#include "url/url_encoding.h"
#include "url/url_parts.h"

using namespace tarvo;

namespace {

void CheckPrintsBackToItself(const HttpUrl& url) {
  const std::optional<HttpUrl> again = HttpUrl::Parse(url.ToString());
  if (!again || again->ToString() != url.ToString()) {
    fuzz::Fail("a parsed address does not print back to itself");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = fuzz::AsText(data, size);
  const size_t newline = input.find('\n');
  const std::string_view address = input.substr(0, newline);
  const std::string_view location = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

  const WString wide = Utf8ToWide(address);
  (void)GetUrlScheme(wide);
  (void)GetUrlOrigin(wide);
  (void)GetUrlPath(wide);
  (void)HasInternalScheme(wide);
  WString extension;
  (void)GetUrlFileName(wide, &extension);
  (void)GetRegistrableDomain(wide);
  (void)GetFaviconCandidates(wide);
  (void)GetIconCacheName(wide);
  (void)PercentEncodeUtf8(address);

  const std::string host = WideToUtf8(GetUrlHost(wide));
  const PublicSuffixTable& suffixes = PublicSuffixTable::Instance();
  if (suffixes.RegistrableDomain(host) != suffixes.RegistrableDomainByLinearWalk(host)) {
    fuzz::Fail("the registrable domain's look-up and walk disagree");
  }

  if (const std::optional<HttpUrl> url = HttpUrl::Parse(address)) {
    CheckPrintsBackToItself(*url);
    if (const std::optional<HttpUrl> next = url->Resolve(location)) {
      CheckPrintsBackToItself(*next);
    }
  }
  return 0;
}
