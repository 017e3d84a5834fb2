#include "passwords/login_site.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr WStringView kHttp = u"http://";
constexpr WStringView kHttps = u"https://";

bool StartsWithNoCase(WStringView text, WStringView prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

WString LoginSite::OriginOf(WStringView url) {
  WStringView scheme;
  if (StartsWithNoCase(url, kHttps)) {
    scheme = kHttps;
  } else if (StartsWithNoCase(url, kHttp)) {
    scheme = kHttp;
  } else {
    return {};
  }
  WStringView rest = url.substr(scheme.size());
  const size_t end = rest.find_first_of(u"/?#");
  const WStringView authority = rest.substr(0, end);
  if (authority.empty() || authority.find(u'@') != WStringView::npos) return {};
  WString host;
  WString port;
  if (authority.front() == u'[') {
    const size_t close = authority.find(u']');
    if (close == WStringView::npos) return {};
    host = WString(authority.substr(0, close + 1));
    const WStringView after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != u':') return {};
      port = WString(after.substr(1));
    }
  } else {
    const size_t colon = authority.find(u':');
    host = WString(authority.substr(0, colon));
    if (colon != WStringView::npos) port = WString(authority.substr(colon + 1));
  }
  if (host.empty()) return {};
  if (!std::all_of(port.begin(), port.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) return {};
  std::transform(host.begin(), host.end(), host.begin(),
                 [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; });
  while (port.size() > 1 && port.front() == u'0') port.erase(0, 1);
  const bool defaultPort = port.empty() || (scheme == kHttp && port == u"80") || (scheme == kHttps && port == u"443");
  return WString(scheme) + host + (defaultPort ? WString() : u":" + port);
}

std::optional<LoginSite> LoginSite::Of(WStringView pageUrl, const SiteMapper& siteOf) {
  const WString pageOrigin = OriginOf(pageUrl);
  if (pageOrigin.empty()) return std::nullopt;
  const bool secure = StartsWithNoCase(pageOrigin, kHttps);
  const Mapping mapping = siteOf ? siteOf(pageUrl) : Mapping{WString(pageUrl), {}};
  if (mapping.site.empty()) return LoginSite{pageOrigin, secure};
  // Another site's passwords only on that site's mirror itself: another service on
  // the mirror's machine is not the site.
  const bool throughMirror = !mapping.mirror.empty() && OriginOf(mapping.mirror) == pageOrigin;
  const WString siteOrigin = OriginOf(mapping.site);
  if (!throughMirror && siteOrigin != pageOrigin) return LoginSite{pageOrigin, secure};
  // A site the mapping names must itself be a web origin; an internal address keeps
  // nothing.
  if (siteOrigin.empty()) return std::nullopt;
  return LoginSite{siteOrigin, secure};
}

}  // namespace tarvo
