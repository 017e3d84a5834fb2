#pragma once

#include <vector>

#include "platform/text.h"

namespace tarvo {

// One entry of the protected-site list (a domainlist row) in memory: every column as
// text, the authority icon addresses as a list, and the service's action for it
// (1 insert, 2 update, 3 delete; 0 for a row read back from the table).
// Addresses are plain text here; the table stores them ciphered. Plain data.
struct DomainRecord {
  WString id;
  WString sourceId;
  WString sourceStatus;
  WString sourceUrl;
  WString sourceDomain;
  WString targetId;
  WString targetStatus;
  WString targetUrl;
  WString targetDomain;
  WString isAuth;  // "1" or "0"
  WString isSign;
  WString isGuar;
  std::vector<WString> authIconUrls;
  WString signGrade;
  WString signGradeEn;
  WString signCode;
  WString signDesc;
  WString signDescEn;
  WString guarData;
  WString guarDataEn;
  WString ttl;
  int action = 0;
};

}  // namespace tarvo
