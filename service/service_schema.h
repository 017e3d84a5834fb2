#pragma once

#include <cstdint>

namespace tarvo::service {

class DatabaseConnection;

// The tables of the service's database and the steps that bring an older
// database up to date: one list for both engines, the engines' spellings taken
// from the connection's SqlDialect. The version reached is kept in the settings
// table ("schema_version"); a database made by a newer service is refused rather
// than written over with an older idea of its tables.
class ServiceSchema {
 public:
  static constexpr int64_t kVersion = 4;

  // Creates or upgrades the tables. Runs inside ServiceDatabase::Write, so two
  // processes starting on one database take turns. Throws ServiceError.
  static void Apply(DatabaseConnection& db);
};

}  // namespace tarvo::service
