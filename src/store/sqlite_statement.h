#pragma once

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/sql_value.h"

namespace tarvo {

// Owns one compiled statement (sqlite3_stmt*), finalized when the object goes away:
// the one owner of statement handles, for the user database and the service's alike.
//
// Threads: used by one thread at a time, while that thread holds the connection's
// lock (SqliteConnection::Lock), so a statement's steps and its connection's error
// text belong together.
class SqliteStatement {
 public:
  // Compiles the first statement of `sql`. A blank remainder gives an empty
  // statement (`empty()`), which is not an error.
  SqliteStatement(sqlite3* db, std::string_view sql);

  // SQLITE_OK, or the code that compiling reported.
  int status() const { return status_; }
  bool empty() const { return statement_ == nullptr; }
  // The text after the compiled statement.
  std::string_view rest() const { return rest_; }

  // Binds `args` to the statement's parameters in order. A statement without
  // parameters takes none (so one list can serve a text of several statements);
  // SQLITE_RANGE when the statement has parameters and their count differs.
  int Bind(const SqlArgs& args);
  // Binds one value to the parameter numbered `index` (from 1).
  int BindAt(int index, const SqlValue& value);

  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  // Makes the statement ready to run again: ends its run (releasing the read or
  // write lock it holds) and clears its bindings.
  void Reset();

  // The result columns: their number, a column's name, and the current row's cell
  // as UTF-8 text (nullopt for NULL). Cells are valid after Step gave SQLITE_ROW.
  int ColumnCount() const;
  std::string ColumnName(int column) const;
  std::optional<std::string> ColumnText(int column) const;
  int64_t ColumnInt64(int column) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
  };

  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
  std::string_view rest_;
  int status_ = SQLITE_OK;
};

}  // namespace tarvo
