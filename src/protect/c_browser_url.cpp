#include "protect/c_browser_url.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "url/url_parts.h"

namespace tarvo {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000' || c == u'\u00a0'; }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// The schemes a page loads as they are; "https" starts with "http" as well.
constexpr std::array<WStringView, 2> kKeptSchemes = {u"http", u"file"};

// What a page loads for `typed`: trimmed, the start page for a blank text, a kept
// scheme in lower case, "http://" in front of anything else (host:port texts and
// other schemes included, as the design's page does).
WString CompleteTyped(WStringView typed) {
  size_t begin = 0;
  size_t end = typed.size();
  while (begin < end && IsBlank(typed[begin])) ++begin;
  while (end > begin && IsBlank(typed[end - 1])) --end;
  WString url(typed.substr(begin, end - begin));
  if (url.empty()) url = SettingsRegistry::Instance().Get(SettingsKeys::kNewPage);
  if (const size_t colon = url.find(u':'); colon != WString::npos) {
    WString scheme = url.substr(0, colon);
    for (char16_t& c : scheme) c = Lower(c);
    for (WStringView kept : kKeptSchemes) {
      if (scheme.starts_with(kept)) {
        url.replace(0, colon, scheme);
        break;
      }
    }
  }
  for (WStringView kept : kKeptSchemes) {
    if (url.starts_with(kept)) return url;
  }
  return u"http://" + url;
}

}  // namespace

namespace {

// The routers below are never destroyed: threads still route addresses at the process's end.
std::atomic<CBrowserUrl*> processRouter{nullptr};

}  // namespace

CBrowserUrl& CBrowserUrl::Instance() {
  if (CBrowserUrl* router = processRouter.load()) return *router;
  static CBrowserUrl* const unopened = new CBrowserUrl(DomainList::Instance(), *new UserDatabase());
  return *unopened;
}

void CBrowserUrl::UseDatabase(UserDatabase& database) {
  DomainList::UseDatabase(database);
  // Kept reachable like the lists: a replaced router may still be routing an address.
  static std::mutex guard;
  static auto* const made = new std::vector<std::unique_ptr<CBrowserUrl>>();
  const std::lock_guard lock(guard);
  made->push_back(std::make_unique<CBrowserUrl>(DomainList::Instance(), database));
  processRouter.store(made->back().get());
}

UrlMapping CBrowserUrl::MapUrl(WStringView url) const {
  UrlMapping mapping{WString(url), WString(url), false};
  database_.RunInTransaction([&] {
    WString found;
    if (!domains_.IsDomainListEnabled()) {
      return true;
    }
    if (domains_.MapTargetToSource(url, found)) {
      mapping.source = std::move(found);
      mapping.mapped = true;
    } else if (domains_.MapSourceToTarget(url, found)) {
      mapping.target = std::move(found);
      mapping.mapped = true;
    }
    return true;
  });
  return mapping;
}

int CBrowserUrl::EngineFor(WStringView url, const UrlMapping& mapping) const {
  if (mapping.mapped) return HasInternalScheme(mapping.source) ? AddressRoute::kChromium : AddressRoute::kCompatibility;
  const bool bankHost = !url.empty() && domainTypes_.GetDomainType(GetUrlHost(url)) == 2;
  return bankHost ? AddressRoute::kCompatibility : AddressRoute::kChromium;
}

AddressRoute CBrowserUrl::Route(WStringView url) const {
  UrlMapping mapping = MapUrl(url);
  const int engine = EngineFor(url, mapping);
  return AddressRoute{std::move(mapping.source), std::move(mapping.target), mapping.mapped, engine};
}

AddressRoute CBrowserUrl::RouteTyped(WStringView typed, const UrlMapping& followedSite) const {
  WString url = CompleteTyped(typed);
  if (followedSite.mapped && GetUrlOrigin(url) == followedSite.source) {
    // The engine is chosen for the mirror address, as the list knows it.
    WString mirrored = followedSite.target + GetUrlPath(url);
    const int engine = EngineFor(mirrored, MapUrl(mirrored));
    return AddressRoute{std::move(url), std::move(mirrored), true, engine};
  }
  return Route(url);
}

}  // namespace tarvo
