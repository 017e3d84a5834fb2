#include "store/domain_type_records.h"

namespace tarvo {

int DomainTypeRecords::GetDomainType(WStringView host) const {
  QueryTable table;
  if (database_.Query("SELECT type FROM domain_type where domain=?;", {host}, &table) <= 0) {
    return 1;
  }
  return static_cast<int>(table.Integer(0, 0));
}

}  // namespace tarvo
