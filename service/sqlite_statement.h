#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/sqlite_statement.h"

namespace tarvo::service {

// One prepared statement of the service's database, over the statement wrapper the
// browser's store uses: values are always bound as parameters, never spliced into
// the SQL text, and every failure is thrown as a ServiceError. Used by one thread at
// a time (the caller holds the database lock).
class SqliteStatement {
 public:
  // Prepares `sql` on `db`; throws ServiceError when it does not compile.
  SqliteStatement(sqlite3* db, std::string_view sql);

  // Parameters are numbered from 1. Each returns *this so binds can be chained.
  SqliteStatement& Bind(int index, int64_t value);
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& BindNull(int index);

  // Runs one step: true when a row is available, false when the statement is done.
  // Throws ServiceError on any other result (busy, constraint, full disk ...).
  bool Step();
  // Steps until done (for statements that return no rows).
  void Run();

  int64_t Int(int column) const { return statement_.ColumnInt64(column); }
  std::string Text(int column) const { return statement_.ColumnText(column).value_or(std::string()); }
  bool IsNull(int column) const { return !statement_.ColumnText(column).has_value(); }

 private:
  void Check(int status) const;

  sqlite3* db_ = nullptr;  // not owned: the connection outlives its statements
  tarvo::SqliteStatement statement_;
};

}  // namespace tarvo::service
