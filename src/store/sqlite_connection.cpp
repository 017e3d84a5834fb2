#include "store/sqlite_connection.h"

#include <sys/statvfs.h>

#include "url/url_encoding.h"

namespace tarvo {

namespace {

constexpr size_t kStatementCacheLimit = 128;

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n;") == std::string_view::npos; }

bool IsOnReadOnlyMedia(const std::string& path) {
  struct statvfs volume {};
  return statvfs(path.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
}

// The URI that opens `path` as a file nothing can change: no locks, no log.
std::string ImmutableUri(const std::string& path) { return "file:" + PercentEncodeUtf8(path) + "?immutable=1"; }

}  // namespace

SqliteConnection::Lock::Lock(const SqliteConnection& connection) : mutex_(sqlite3_db_mutex(connection.db_)) {
  sqlite3_mutex_enter(mutex_);
}

SqliteConnection::Lock::~Lock() { sqlite3_mutex_leave(mutex_); }

std::unique_ptr<SqliteConnection> SqliteConnection::Open(const std::string& path, Access access,
                                                         int busyTimeoutMs, std::string& error) {
  const int flags = access == Access::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  int status = SQLITE_OK;
  auto connection = OpenWith(path, flags, busyTimeoutMs, error, status);
  // On read-only media SQLite falls back to reading, but a database in write-ahead
  // log mode still needs the log's shared-memory file beside it, which cannot be
  // made there. Nothing can change the file through such a mount, so it is read as
  // it stands, without the log.
  if (connection == nullptr && (status & 0xff) == SQLITE_CANTOPEN && IsOnReadOnlyMedia(path)) {
    std::string immutableError;
    connection = OpenWith(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, busyTimeoutMs, immutableError,
                          status);
  }
  return connection;
}

std::unique_ptr<SqliteConnection> SqliteConnection::OpenWith(const std::string& name, int flags, int busyTimeoutMs,
                                                             std::string& error, int& status) {
  sqlite3* db = nullptr;
  status = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
  // From here the connection (even a failed one) is released by the destructor.
  std::unique_ptr<SqliteConnection> connection(new SqliteConnection(db));
  if (status != SQLITE_OK || db == nullptr) {
    error = "cannot open " + name + ": " + (db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status));
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
  status = connection->Run("SELECT count(*) FROM sqlite_master;", {}, nullptr);
  if (status != SQLITE_OK) {
    error = "cannot read " + name + ": " + connection->LastError();
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
