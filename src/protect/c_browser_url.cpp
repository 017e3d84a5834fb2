#include "protect/c_browser_url.h"

#include "url/url_parts.h"

namespace tarvo {

CBrowserUrl& CBrowserUrl::Instance() {
  static CBrowserUrl* router = new CBrowserUrl(DomainList::Instance(), UserDatabase::Instance());  // never destroyed
  return *router;
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

bool CBrowserUrl::IsIeDomain(WStringView url) const {
  return !url.empty() && domainTypes_.GetDomainType(GetUrlHost(url)) == 2;
}

int CBrowserUrl::GetEngineType(WStringView url) const {
  const UrlMapping mapping = MapUrl(url);
  if (mapping.mapped && HasInternalScheme(mapping.source)) {
    return 1;
  }
  if (IsIeDomain(url) || mapping.mapped) {
    return 2;
  }
  return 1;
}

PageUrl CBrowserUrl::MakePageUrl(WStringView url) const {
  UrlMapping mapping = MapUrl(url);
  return PageUrl{std::move(mapping.source), std::move(mapping.target), mapping.mapped, 0};
}

}  // namespace tarvo
