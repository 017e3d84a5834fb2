#include "store/sqlite_statement.h"

#include <climits>

namespace tarvo {

namespace {

// Binds one value; the overload set follows SqlValue's alternatives.
struct ValueBinder {
  sqlite3_stmt* statement;
  int index;

  int operator()(std::monostate) const { return sqlite3_bind_null(statement, index); }
  int operator()(int64_t value) const { return sqlite3_bind_int64(statement, index, value); }
  int operator()(const std::string& text) const {
    return sqlite3_bind_text64(statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  }
};

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) {
  if (sql.size() > INT_MAX) {
    status_ = SQLITE_TOOBIG;
    return;
  }
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  status_ = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw, &tail);
  statement_.reset(raw);
  const size_t used = tail == nullptr ? sql.size() : static_cast<size_t>(tail - sql.data());
  rest_ = sql.substr(used);
}

int SqliteStatement::Bind(const SqlArgs& args) {
  const int parameters = sqlite3_bind_parameter_count(statement_.get());
  if (parameters == 0) {
    return SQLITE_OK;
  }
  if (static_cast<size_t>(parameters) != args.size()) {
    return SQLITE_RANGE;
  }
  for (int i = 0; i < parameters; ++i) {
    const int status = BindAt(i + 1, args[static_cast<size_t>(i)]);
    if (status != SQLITE_OK) {
      return status;
    }
  }
  return SQLITE_OK;
}

int SqliteStatement::BindAt(int index, const SqlValue& value) {
  return std::visit(ValueBinder{statement_.get(), index}, value.storage());
}

int SqliteStatement::Step() { return sqlite3_step(statement_.get()); }

void SqliteStatement::Reset() {
  sqlite3_reset(statement_.get());
  sqlite3_clear_bindings(statement_.get());
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(statement_.get()); }

std::string SqliteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(statement_.get(), column);
  return name == nullptr ? std::string() : std::string(name);
}

std::optional<std::string> SqliteStatement::ColumnText(int column) const {
  if (sqlite3_column_type(statement_.get(), column) == SQLITE_NULL) {
    return std::nullopt;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), column));
  const int bytes = sqlite3_column_bytes(statement_.get(), column);
  return text == nullptr ? std::string() : std::string(text, static_cast<size_t>(bytes));
}

int64_t SqliteStatement::ColumnInt64(int column) const { return sqlite3_column_int64(statement_.get(), column); }

}  // namespace tarvo
