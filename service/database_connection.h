#pragma once

#include <string_view>

#include "database_statement.h"
#include "sql_dialect.h"

namespace tarvo::service {

// One connection to the service's database, SQLite or PostgreSQL. The service's
// code sees only this: statements in the SQL both engines take (SqlDialect), bound
// parameters, and transactions begun and ended by ServiceDatabase::Write.
//
// Threads: one at a time; ServiceDatabase lends each connection to one thread.
class DatabaseConnection {
 public:
  virtual ~DatabaseConnection() = default;

  // Prepares `sql` (parameters spelled "?1", "?2" ...); throws ServiceError when
  // it does not compile.
  virtual DatabaseStatement Prepare(std::string_view sql) = 0;
  // Runs statements without parameters (several may be separated by ";").
  virtual void Execute(std::string_view sql) = 0;
  // Ends an open transaction without its changes; never throws.
  virtual void RollbackQuietly() noexcept = 0;
  // True once the connection can no longer be used (the server went away); the
  // database then opens a fresh one in its place.
  virtual bool Broken() const = 0;

  virtual const SqlDialect& dialect() const = 0;
};

}  // namespace tarvo::service
