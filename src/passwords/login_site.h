#pragma once

#include <functional>
#include <optional>

#include "platform/text.h"

namespace tarvo {

// Where a page's log-in belongs: the origin of its site (a protected site's mirror
// counts as the site it stands for), and whether the page itself came over https.
//
// Threads: any; pure functions apart from the mapper they are given.
struct LoginSite {
  WString origin;
  bool secure = false;

  // "scheme://host" with ":port" when it is not the scheme's default; the host in
  // lower case. Empty for anything but an http: or https: address with a host, and
  // for an address carrying user information, which hides where it really goes.
  static WString OriginOf(WStringView url);

  // The site address a page address stands for (the URL model's mapping from a
  // mirror to its site; an ordinary address stands for itself).
  using SiteMapper = std::function<WString(WStringView url)>;
  // The log-in site of a page at `pageUrl`; nothing for a page that can hold no
  // saved log-in (not http or https, or its site has no such origin).
  static std::optional<LoginSite> Of(WStringView pageUrl, const SiteMapper& siteOf);
};

}  // namespace tarvo
