#pragma once

#include "platform/text.h"
#include "store/user_database.h"

namespace tarvo {

// The engine-choice table domain_type: hosts rendered by the compatibility engine
// (type 2); every other host reads as type 1.
//
// Threads: any thread; the database's connection mutex guards every operation.
// Holds a non-owning reference; the database outlives it.
class DomainTypeRecords {
 public:
  explicit DomainTypeRecords(UserDatabase& database) : database_(database) {}

  // The type stored for exactly this host; 1 when there is no row or the query
  // fails.
  int GetDomainType(WStringView host) const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo
