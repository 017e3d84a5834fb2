#include "store/sqlite_connection.h"

namespace tarvo {

namespace {

constexpr size_t kStatementCacheLimit = 128;

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n;") == std::string_view::npos; }

}  // namespace

SqliteConnection::Lock::Lock(const SqliteConnection& connection) : mutex_(sqlite3_db_mutex(connection.db_)) {
  sqlite3_mutex_enter(mutex_);
}

SqliteConnection::Lock::~Lock() { sqlite3_mutex_leave(mutex_); }

std::unique_ptr<SqliteConnection> SqliteConnection::Open(const std::string& path, Access access,
                                                         int busyTimeoutMs, std::string& error) {
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_FULLMUTEX | (access == Access::kReadOnly ? SQLITE_OPEN_READONLY
                                                                         : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  const int status = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  // From here the connection (even a failed one) is released by the destructor.
  std::unique_ptr<SqliteConnection> connection(new SqliteConnection(db));
  if (status != SQLITE_OK || db == nullptr) {
    error = "cannot open " + path + ": " + (db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status));
    return nullptr;
  }
  // The connection is shared by every thread; only serialized mode has a
  // connection mutex, and without it the sharing would be unsafe.
  if (sqlite3_db_mutex(db) == nullptr) {
    error = "SQLite is not in serialized threading mode";
    return nullptr;
  }
  sqlite3_busy_timeout(db, busyTimeoutMs);
  // Opening reads nothing; reading the schema is what tells a database from another
  // file, and it writes nothing.
  if (connection->Run("SELECT count(*) FROM sqlite_master;", {}, nullptr) != SQLITE_OK) {
    error = "cannot read " + path + ": " + connection->LastError();
    return nullptr;
  }
  return connection;
}

void SqliteConnection::SetBusyTimeout(int milliseconds) { sqlite3_busy_timeout(db_, milliseconds); }

bool SqliteConnection::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

SqliteConnection::~SqliteConnection() {
  statementCache_.clear();  // finalize before closing
  sqlite3_close_v2(db_);
}

int SqliteConnection::Run(std::string_view sql, const SqlArgs& args, QueryTable* rows) {
  Lock lock(*this);
  if (SqliteStatement* cached = CachedStatement(sql)) {
    return RunStatement(*cached, args, rows);
  }
  while (true) {
    SqliteStatement statement(db_, sql);
    if (statement.status() != SQLITE_OK) {
      return statement.status();
    }
    if (statement.empty()) {
      return SQLITE_OK;
    }
    if (const int status = RunStatement(statement, args, rows); status != SQLITE_OK) {
      return status;
    }
    sql = statement.rest();
  }
}

int SqliteConnection::RunStatement(SqliteStatement& statement, const SqlArgs& args, QueryTable* rows) {
  int status = statement.Bind(args);
  const int columns = statement.ColumnCount();
  if (status == SQLITE_OK && rows != nullptr && columns > 0 && rows->columns.empty()) {
    for (int c = 0; c < columns; ++c) {
      rows->columns.push_back(statement.ColumnName(c));
    }
  }
  if (status == SQLITE_OK) {
    for (status = statement.Step(); status == SQLITE_ROW; status = statement.Step()) {
      if (rows != nullptr) {
        auto& row = rows->rows.emplace_back();
        for (int c = 0; c < columns; ++c) {
          row.push_back(statement.ColumnText(c));
        }
      }
    }
  }
  statement.Reset();
  return status == SQLITE_DONE || status == SQLITE_OK ? SQLITE_OK : status;
}

SqliteStatement* SqliteConnection::CachedStatement(std::string_view sql) {
  if (const auto found = statementCache_.find(std::string(sql)); found != statementCache_.end()) {
    return found->second.get();
  }
  if (statementCache_.size() >= kStatementCacheLimit) {
    return nullptr;
  }
  auto statement = std::make_unique<SqliteStatement>(db_, sql);
  if (statement->status() != SQLITE_OK || statement->empty() || !IsBlank(statement->rest())) {
    return nullptr;
  }
  return statementCache_.emplace(std::string(sql), std::move(statement)).first->second.get();
}

int64_t SqliteConnection::LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

std::string SqliteConnection::LastError() const { return sqlite3_errmsg(db_); }

bool SqliteConnection::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

void SqliteConnection::SetTraceObserver(std::function<void(std::string_view)> observer) {
  traceObserver_ = std::move(observer);
  sqlite3_trace_v2(db_, traceObserver_ ? SQLITE_TRACE_STMT : 0, traceObserver_ ? &SqliteConnection::OnTrace : nullptr,
                   this);
}

int SqliteConnection::OnTrace(unsigned type, void* context, void* /*statement*/, void* text) {
  auto* connection = static_cast<SqliteConnection*>(context);
  const auto* sql = static_cast<const char*>(text);
  // Statements run by triggers arrive as "-- ..." comments; only top-level ones count.
  if (type == SQLITE_TRACE_STMT && sql != nullptr && !std::string_view(sql).starts_with("--")) {
    connection->traceObserver_(sql);
  }
  return 0;
}

}  // namespace tarvo
