#pragma once

#include <string>

#include "api_reply.h"

namespace tarvo::service {

class FormFields;
class ServiceDatabase;

// "app/v1.0/domain_list": the protected sites with their mirrors and certification
// details. With "latest_time" 0 every live site comes as an insert (action 1);
// with a later time only what changed since: new sites (1), changed sites (2) and
// removed sites (3). "max_time" is the time of the newest change, to be sent back
// next time. "source_url" and "target_url" are ciphered.
//
// Threads: any request thread; no mutable state.
class DomainListEndpoint {
 public:
  // `db` must outlive this object; `mirrorPort` is the port mirrors served by this
  // service listen on.
  DomainListEndpoint(ServiceDatabase& db, int mirrorPort);

  ApiReply DomainList(const FormFields& form) const;

 private:
  ServiceDatabase& db_;
  const int mirrorPort_;
};

}  // namespace tarvo::service
