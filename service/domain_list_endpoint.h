#pragma once

#include <json/value.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "api_reply.h"
#include "net/signing_key.h"
#include "service_clock.h"

namespace tarvo::service {

class FormFields;
class DatabaseConnection;
class ServiceDatabase;

// "app/v1.0/domain_list": the protected sites with their mirrors and certification
// details. With "latest_time" 0 every live site comes as an insert (action 1);
// with a later time only what changed since: new sites (1), changed sites (2) and
// removed sites (3). "max_time" is the time of the newest change, to be sent back
// next time. "source_url" and "target_url" are ciphered. "signature2" is the brand
// key's signature over statement 2 of the mirror map (StatementText::MirrorMap2:
// every member of every entry, "max_time", "latest_time" (the time the list answers)
// and "issued_at" (when it was made)), which browsers compare with what they
// stored; "signature" the one over statement 1, for browsers from before.
//
// Every browser asks for the full list every few minutes, so the full list is kept
// ready as JSON text (issued when it was made) and rebuilt only when the stored
// sites change.
//
// Threads: any request thread; `cacheMutex_` guards the kept full list.
class DomainListEndpoint {
 public:
  // `db` must outlive this object; `mirrorPort` and `mirrorScheme` ("http://") are
  // the port and scheme of the mirrors this service serves itself; `publicUrl`
  // (ending with "/") the address the authority icons this service serves itself are
  // published under; `signingKey` (not owned, may be null: replies go unsigned) must
  // outlive this object.
  DomainListEndpoint(ServiceDatabase& db, int mirrorPort, std::string mirrorScheme, std::string publicUrl,
                     const SigningKey* signingKey, ServiceClock clock);

  ApiReply DomainList(const FormFields& form) const;

 private:
  // The "data" of a reply listing the changes after `latestTime` (0: everything).
  // Inside ServiceDatabase::Read.
  Json::Value BuildList(DatabaseConnection& db, int64_t latestTime) const;

  ServiceDatabase& db_;
  const int mirrorPort_;
  const std::string mirrorScheme_;
  const std::string publicUrl_;
  const SigningKey* const signingKey_;  // not owned; may be null
  const ServiceClock clock_;
  mutable std::mutex cacheMutex_;
  mutable std::string cachedVersion_;  // newest change time and site count of the kept list
  mutable std::string cachedFullList_;
};

}  // namespace tarvo::service
