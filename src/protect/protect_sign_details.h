#pragma once

#include <vector>

#include "platform/text.h"
#include "protect/domain_record.h"

namespace tarvo {

// What the certification window of a protected site shows, taken from its domain
// list row: which of authority certification, signature and guarantee the site
// has, the texts in the interface language, and the authority icons.
//
// Threads: any; plain value type.
struct ProtectSignDetails {
  // The window's name tables end at the tenth icon; a longer list is cut there.
  static constexpr size_t kMaxIcons = 10;
  enum Tab { kAuthorityTab = 0, kSignatureTab = 1, kGuaranteeTab = 2 };

  // A flag is set only by the stored text "1"; anything else ("0", "2", "") is not.
  // `chinese`: the interface speaks Chinese, so the texts without "_en" are taken.
  static ProtectSignDetails FromRecord(const DomainRecord& record, bool chinese);

  // The first of authority, signature and guarantee that the site has; the
  // authority tab when it has none.
  Tab FirstTab() const;
  bool Has(Tab tab) const { return tab == kAuthorityTab ? hasAuthority : tab == kSignatureTab ? hasSignature : hasGuarantee; }

  WString site;  // the host of the site's own address
  bool hasAuthority = false;
  bool hasSignature = false;
  bool hasGuarantee = false;
  WString grade;
  WString code;
  WString description;
  WString guarantee;
  std::vector<WString> iconUrls;  // at most kMaxIcons, in the record's order
};

}  // namespace tarvo
