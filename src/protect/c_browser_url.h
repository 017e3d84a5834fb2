#pragma once

#include "platform/text.h"
#include "protect/address_route.h"
#include "protect/domain_list.h"
#include "url/url_mapping.h"
#include "store/domain_type_records.h"

namespace tarvo {

// The URL router: for an address about to be opened, whether it belongs to a
// protected site, which address is shown and which loaded, and which engine renders
// it, all from one look at the list.
//
// Threads: any thread; the object holds only non-owning references to the domain
// list and the database (which outlive it) and no state of its own.
class CBrowserUrl {
 public:
  // The process's router, never destroyed: over the database given to UseDatabase,
  // and before that over one that is not open (no site is protected). Process-wide
  // by design, as the site lists it routes by.
  static CBrowserUrl& Instance();
  // Makes Instance() and DomainList::Instance() read `database`, the profile's (which
  // is never destroyed). Start-up, once the database is open and before the first
  // page; routers handed out before stay valid.
  static void UseDatabase(UserDatabase& database);

  CBrowserUrl(const DomainList& domains, UserDatabase& database)
      : domains_(domains), database_(database), domainTypes_(database) {}
  virtual ~CBrowserUrl() = default;

  // The route of an address as it stands (one an engine reports, or one opened in a
  // new tab). With protection enabled a mirror address is shown as its site and a
  // site address loads its mirror; otherwise both are the address. The engine: the
  // Chromium body for a protected site whose address uses the internal scheme, the
  // compatibility body for any other protected site or a host of type 2 in
  // domain_type, the Chromium body for the rest.
  AddressRoute Route(WStringView url) const;

  // The route of an address a page is told to load, as the user typed it or as
  // stored: blanks around it are dropped; a blank text means the start page (the
  // settings value "newpage"); a scheme written in capitals ("HTTP://", "File:") is
  // lower-cased; an address that begins neither with "http" nor with "file" gets
  // "http://" in front. A page that follows a protected site (`followedSite`: the
  // origins of its site and mirror) loads any address of the site's origin from the
  // mirror, with the same path; otherwise as Route.
  AddressRoute RouteTyped(WStringView typed, const UrlMapping& followedSite = {}) const;

 private:
  // Site and mirror of `url` (source = shown, target = loaded); the flag and both
  // lookups are read in one transaction, so a list being rebuilt is seen either
  // before or after. Target addresses are looked up before sources.
  UrlMapping MapUrl(WStringView url) const;
  // The engine for `url` once its mapping is known.
  int EngineFor(WStringView url, const UrlMapping& mapping) const;

  const DomainList& domains_;
  UserDatabase& database_;
  const DomainTypeRecords domainTypes_;
};

}  // namespace tarvo
