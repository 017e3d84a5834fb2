#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvo::service {

// One prepared statement, finalised when the object goes away. Values are always
// bound as parameters, never spliced into the SQL text. Used by one thread at a time
// (the caller holds the database lock).
class SqliteStatement {
 public:
  // Prepares `sql` on `db`; throws ServiceError when it does not compile.
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&&) = delete;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters are numbered from 1. Each returns *this so binds can be chained.
  SqliteStatement& Bind(int index, int64_t value);
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& BindNull(int index);

  // Runs one step: true when a row is available, false when the statement is done.
  // Throws ServiceError on any other result (busy, constraint, full disk ...).
  bool Step();
  // Steps until done (for statements that return no rows).
  void Run();

  int64_t Int(int column) const;
  std::string Text(int column) const;
  bool IsNull(int column) const;

 private:
  sqlite3* db_ = nullptr;            // not owned: the connection outlives its statements
  sqlite3_stmt* statement_ = nullptr;  // owned
};

}  // namespace tarvo::service
