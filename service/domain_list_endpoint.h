#pragma once

#include <json/value.h>

#include <cstdint>
#include <mutex>
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
// Every browser asks for the full list every few minutes, so the full list is kept
// ready as JSON text and rebuilt only when the stored sites change.
//
// Threads: any request thread; `cacheMutex_` guards the kept full list.
class DomainListEndpoint {
 public:
  // `db` must outlive this object; `mirrorPort` is the port mirrors served by this
  // service listen on; `publicUrl` (ending with "/") the address the authority
  // icons this service serves itself are published under.
  DomainListEndpoint(ServiceDatabase& db, int mirrorPort, std::string publicUrl);

  ApiReply DomainList(const FormFields& form) const;

 private:
  // The "data" of a reply listing the changes after `latestTime` (0: everything).
  // Inside ServiceDatabase::Read.
  Json::Value BuildList(ServiceDatabase& db, int64_t latestTime) const;

  ServiceDatabase& db_;
  const int mirrorPort_;
  const std::string publicUrl_;
  mutable std::mutex cacheMutex_;
  mutable std::string cachedVersion_;  // newest change time and site count of the kept list
  mutable std::string cachedFullList_;
};

}  // namespace tarvo::service
