#pragma once

#include "platform/text.h"
#include "protect/domain_list.h"
#include "url/page_url.h"
#include "url/url_mapping.h"
#include "store/domain_type_records.h"

namespace tarvo {

// The URL router: for an address about to be opened, whether it belongs to a
// protected site (and which address is shown and which loaded), and which engine
// renders it (1 = Chromium body, 2 = compatibility body).
//
// Threads: any thread; the object holds only non-owning references to the domain
// list and the database (which outlive it) and no state of its own.
class CBrowserUrl {
 public:
  // The process's router over DomainList::Instance() and UserDatabase::Instance(),
  // created on first call and never destroyed.
  static CBrowserUrl& Instance();

  CBrowserUrl(const DomainList& domains, UserDatabase& database)
      : domains_(domains), database_(database), domainTypes_(database) {}
  virtual ~CBrowserUrl() = default;

  // With protection enabled: a mirror address maps to its site (source = site,
  // target = url), otherwise a site address to its mirror (source = url, target =
  // mirror). Unmapped: source = target = url. The flag and both lookups are read in
  // one transaction, so a list being rebuilt is seen either before or after.
  UrlMapping MapUrl(WStringView url) const;

  // True when the URL is non-empty and its exact host has type 2 in domain_type.
  bool IsIeDomain(WStringView url) const;

  // 1 for a mapped address whose site uses the internal scheme; else 2 for a type-2
  // host or any other mapped address; else 1.
  int GetEngineType(WStringView url) const;

  // The page-address object for `url`: shown and loaded address and mapped flag
  // from MapUrl, no history row yet.
  PageUrl MakePageUrl(WStringView url) const;

 private:
  const DomainList& domains_;
  UserDatabase& database_;
  const DomainTypeRecords domainTypes_;
};

}  // namespace tarvo
