#include "url/url_parts.h"

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "url/public_suffix_table.h"

namespace tarvo {

namespace {

constexpr WStringView kHttp = u"http://";
constexpr WStringView kHttps = u"https://";

WString InternalScheme() { return SettingsRegistry::Instance().Get(SettingsKeys::kUserCentre); }

// Length of the recognised prefix the URL begins with, tested in the order
// "http://", "https://", internal scheme; 0 when none is recognised.
size_t RecognisedPrefixLength(WStringView url) {
  if (url.starts_with(kHttp)) {
    return kHttp.size();
  }
  if (url.starts_with(kHttps)) {
    return kHttps.size();
  }
  const WString internal = InternalScheme();
  if (!internal.empty() && url.starts_with(internal)) {
    return internal.size();
  }
  return 0;
}

// Position of the first of `stops` at or after `from`, or the end of the URL.
size_t ScanTo(WStringView url, size_t from, WStringView stops) {
  const size_t found = url.find_first_of(stops, from);
  return found == WStringView::npos ? url.size() : found;
}

}  // namespace

WString GetUrlScheme(WStringView url) {
  if (url.starts_with(kHttp)) {
    return WString(kHttp);
  }
  if (url.starts_with(kHttps)) {
    return WString(kHttps);
  }
  return {};
}

WString GetUrlHost(WStringView url) {
  const size_t start = RecognisedPrefixLength(url);
  return WString(url.substr(start, ScanTo(url, start, u":/") - start));
}

WString GetUrlOrigin(WStringView url) { return WString(url.substr(0, ScanTo(url, RecognisedPrefixLength(url), u"/"))); }

WString GetUrlPath(WStringView url) {
  const size_t start = RecognisedPrefixLength(url);
  if (start == 0) {
    return WString(url);
  }
  const size_t slash = url.find(u'/', start);
  return slash == WStringView::npos ? WString() : WString(url.substr(slash));
}

WString GetRegistrableDomain(WStringView url) {
  return Utf8ToWide(PublicSuffixTable::Instance().RegistrableDomain(WideToUtf8(GetUrlHost(url))));
}

WString GetUrlFileName(WStringView url, WString* extension) {
  const size_t dot = url.rfind(u'.');
  if (extension != nullptr) {
    *extension = dot == WStringView::npos ? WString() : WString(url.substr(dot + 1));
  }
  if (dot == WStringView::npos || dot == 0) {
    return {};
  }
  const size_t slash = url.rfind(u'/', dot - 1);
  if (slash == WStringView::npos || slash == 0) {
    return {};
  }
  return WString(url.substr(slash + 1));
}

bool HasInternalScheme(WStringView url) {
  const WString internal = InternalScheme();
  return !internal.empty() && url.starts_with(internal);
}

}  // namespace tarvo
