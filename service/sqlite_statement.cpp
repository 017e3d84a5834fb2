#include "sqlite_statement.h"

#include <sqlite3.h>

#include "service_error.h"

namespace tarvo::service {

SqliteStatement::SqliteStatement(sqlite3* db, std::unique_ptr<tarvo::SqliteStatement> compiled, GiveBack giveBack)
    : db_(db), statement_(std::move(compiled)), giveBack_(std::move(giveBack)) {
  if (statement_->status() != SQLITE_OK || statement_->empty()) {
    throw ServiceError(std::string("cannot prepare statement: ") + sqlite3_errmsg(db_));
  }
}

SqliteStatement::~SqliteStatement() {
  statement_->Reset();
  giveBack_(std::move(statement_));
}

void SqliteStatement::Check(int status) const {
  if (status != SQLITE_OK) throw ServiceError(std::string("cannot bind a value: ") + sqlite3_errmsg(db_));
}

void SqliteStatement::Bind(int index, int64_t value) {
  Check(statement_->BindAt(index, SqlValue(value)));
}

void SqliteStatement::Bind(int index, std::string_view text) {
  Check(statement_->BindAt(index, SqlValue(text)));
}

void SqliteStatement::BindNull(int index) {
  Check(statement_->BindAt(index, SqlValue(nullptr)));
}

bool SqliteStatement::Step() {
  const int result = statement_->Step();
  if (result == SQLITE_ROW) {
    return true;
  }
  if (result == SQLITE_DONE) {
    return false;
  }
  throw ServiceError(std::string("database step failed: ") + sqlite3_errmsg(db_));
}

}  // namespace tarvo::service
