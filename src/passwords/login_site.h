#pragma once

#include <functional>
#include <optional>

#include "platform/text.h"

namespace tarvo {

// Where a page's log-in belongs: the origin of its site (a page at exactly a protected
// site's mirror origin counts as the site it stands for; any other port or scheme of
// the mirror's host is an origin of its own), and whether the page itself came over
// https.
//
// Threads: any; pure functions apart from the mapper they are given.
struct LoginSite {
  WString origin;
  bool secure = false;

  // "scheme://host" with ":port" when it is not the scheme's default; the host in
  // lower case. Empty for anything but an http: or https: address with a host, and
  // for an address carrying user information, which hides where it really goes.
  static WString OriginOf(WStringView url);

  // What the URL model says of a page address: the site address it stands for (an
  // ordinary address stands for itself), and, when that is a protected site reached
  // through a mirror, the mirror's address as the signed map names it. The model
  // matches a mirror by its host alone; the origins are compared here.
  struct Mapping {
    WString site;
    WString mirror;
  };
  using SiteMapper = std::function<Mapping(WStringView url)>;
  // The log-in site of a page at `pageUrl`; nothing for a page that can hold no
  // saved log-in (not http or https, or its site has no such origin).
  static std::optional<LoginSite> Of(WStringView pageUrl, const SiteMapper& siteOf);
};

}  // namespace tarvo
