#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "statement_backend.h"
#include "store/sqlite_statement.h"

namespace tarvo::service {

// A statement of the service's SQLite file, over the statement wrapper the
// browser's store uses. When it is done with, its compiled form goes back to whoever
// lent it (the connection keeps it for the next use of the same SQL), reset and
// with no values bound.
class SqliteStatement : public StatementBackend {
 public:
  using GiveBack = std::function<void(std::unique_ptr<tarvo::SqliteStatement>)>;

  // Takes `compiled` (prepared on `db`); throws ServiceError when it did not compile.
  SqliteStatement(sqlite3* db, std::unique_ptr<tarvo::SqliteStatement> compiled, GiveBack giveBack);
  ~SqliteStatement() override;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  void Bind(int index, int64_t value) override;
  void Bind(int index, std::string_view text) override;
  void BindNull(int index) override;
  // Throws ServiceError on any result but a row or the end (busy, constraint,
  // full disk ...).
  bool Step() override;

  int64_t Int(int column) const override { return statement_->ColumnInt64(column); }
  std::string Text(int column) const override { return statement_->ColumnText(column).value_or(std::string()); }
  bool IsNull(int column) const override { return !statement_->ColumnText(column).has_value(); }

 private:
  void Check(int status) const;

  sqlite3* db_ = nullptr;  // not owned: the connection outlives its statements
  std::unique_ptr<tarvo::SqliteStatement> statement_;
  GiveBack giveBack_;
};

}  // namespace tarvo::service
