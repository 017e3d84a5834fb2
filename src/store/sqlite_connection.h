#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/query_table.h"
#include "store/sql_value.h"
#include "store/sqlite_statement.h"

namespace tarvo {

// Owns one SQLite connection (sqlite3*), opened in serialized mode and closed when
// the object goes away.
//
// Threads: any number of threads may share the connection. SQLite's own connection
// mutex guards every call; callers that need several calls to belong together (a
// statement and its error text, an insert and its row id, a whole transaction) hold
// that same mutex across them with a Lock, which also guards the statement cache.
// The trace observer is set before the connection is shared.
class SqliteConnection {
 public:
  // Holds the connection's mutex (recursive: the owning thread may lock again).
  class Lock {
   public:
    explicit Lock(const SqliteConnection& connection);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    sqlite3_mutex* mutex_;
  };

  enum class Access { kReadWrite, kReadOnly };

  // Opens the database file at `path` (UTF-8) and checks that it is readable as a
  // database without writing to it; read-write access creates a missing file,
  // read-only access never writes at all. A file on read-only media is opened for
  // reading either way. Waits up to `busyTimeoutMs` for another process's lock. On
  // failure returns nullptr with a message in `error`; an existing file is left
  // exactly as it was.
  static std::unique_ptr<SqliteConnection> Open(const std::string& path, Access access, int busyTimeoutMs,
                                                std::string& error);

  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Runs every statement of `sql` in order, binding `args` to each statement that
  // has parameters, and stops at the first failure (as sqlite3_exec does). Rows of
  // statements that return any go into `rows` when given. Returns SQLITE_OK or the
  // failing code. Holds the lock for the whole text.
  int Run(std::string_view sql, const SqlArgs& args, QueryTable* rows);

  // Call with the Lock held, right after the statement concerned.
  int64_t LastInsertRowId() const;
  // How long a statement waits for another process's lock before SQLITE_BUSY.
  void SetBusyTimeout(int milliseconds);
  // True when SQLite opened the file for reading only (its permissions or its media
  // refuse writing).
  bool IsReadOnly() const;
  std::string LastError() const;
  // True while a transaction begun on this connection is open.
  bool InTransaction() const;

  // Receives the text of every statement as it starts (diagnostics and tests).
  void SetTraceObserver(std::function<void(std::string_view)> observer);

 private:
  explicit SqliteConnection(sqlite3* db) : db_(db) {}
  // Opens `name` (a path, or a URI with SQLITE_OPEN_URI) and reads its schema;
  // `status` is the SQLite code of the step that failed.
  static std::unique_ptr<SqliteConnection> OpenWith(const std::string& name, int flags, int busyTimeoutMs,
                                                    std::string& error, int& status);
  static int OnTrace(unsigned type, void* context, void* statement, void* text);
  // Binds, steps to the end collecting rows, and resets the statement.
  int RunStatement(SqliteStatement& statement, const SqlArgs& args, QueryTable* rows);
  // The compiled statement for a one-statement text, compiled on first use; nullptr
  // for texts of several statements and when the cache is full.
  SqliteStatement* CachedStatement(std::string_view sql);

  sqlite3* db_ = nullptr;
  std::function<void(std::string_view)> traceObserver_;
  // One-statement texts compiled once: lookups run thousands of times, and compiling
  // costs more than running them. Bounded, since statement texts are fixed in code.
  std::unordered_map<std::string, std::unique_ptr<SqliteStatement>> statementCache_;
};

}  // namespace tarvo
