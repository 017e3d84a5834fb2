#pragma once

#include <string>
#include <vector>

#include "store/sql_value.h"

namespace tarvo {

// One statement of an upgrade step with the values bound to its parameters.
struct SchemaStatement {
  std::string sql;
  SqlArgs args;
};

// The newest data version the upgrade steps reach.
inline constexpr int kCurrentDataVersion = 6;

// The statements of upgrade step `version` (1 to kCurrentDataVersion), in order;
// empty for any other number. Pure; any thread.
std::vector<SchemaStatement> SchemaStepStatements(int version);

// Statements run whenever the database opens and after upgrading, outside the
// numbered steps: lookup indexes and added tables that leave the data version alone. Each may fail
// harmlessly (for example before the table exists).
std::vector<std::string> LookupIndexStatements();

}  // namespace tarvo
