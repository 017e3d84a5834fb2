#include "protect/protect_sign_details.h"

#include "url/url_parts.h"

namespace tarvo {

ProtectSignDetails ProtectSignDetails::FromRecord(const DomainRecord& record, bool chinese) {
  ProtectSignDetails details;
  details.hasAuthority = record.isAuth == u"1";
  details.hasSignature = record.isSign == u"1";
  details.hasGuarantee = record.isGuar == u"1";
  details.site = GetUrlHost(record.sourceUrl);
  details.code = record.signCode;
  details.grade = chinese ? record.signGrade : record.signGradeEn;
  details.description = chinese ? record.signDesc : record.signDescEn;
  details.guarantee = chinese ? record.guarData : record.guarDataEn;
  const size_t count = std::min(record.authIconUrls.size(), kMaxIcons);
  details.iconUrls.assign(record.authIconUrls.begin(), record.authIconUrls.begin() + static_cast<std::ptrdiff_t>(count));
  return details;
}

ProtectSignDetails::Tab ProtectSignDetails::FirstTab() const {
  for (Tab tab : {kAuthorityTab, kSignatureTab, kGuaranteeTab}) {
    if (Has(tab)) return tab;
  }
  return kAuthorityTab;
}

}  // namespace tarvo
