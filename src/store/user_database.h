#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "store/query_table.h"
#include "store/sql_value.h"
#include "store/sqlite_connection.h"

namespace tarvo {

// The user database ("appdata/db", normally kx.dat in the data root): one SQLite
// connection, its schema and the numbered upgrade steps that bring any file to the
// current data version. The record accessors (InfoRecords, SearchRecords, ...) are
// small classes over this object.
//
// Threads: Open and SetStatementObserver run on the first thread before any other
// thread uses the object. After that every operation may be called from any thread:
// the connection runs in SQLite's serialized mode and each operation holds the
// connection's mutex for all of its calls, so an insert and its row id, or a whole
// transaction, are never interleaved with another thread's statements.
//
// Lifetime: start-up makes the profile's database and hands it to whoever reads or
// writes it; tests make their own.
class UserDatabase {
 public:
  UserDatabase() = default;
  ~UserDatabase() = default;
  UserDatabase(const UserDatabase&) = delete;
  UserDatabase& operator=(const UserDatabase&) = delete;

  // Opens the file named by the settings value "appdata/db" (created when missing).
  // Returns 0, or -1 when the file cannot be opened or is not a readable database;
  // the file is then left exactly as it was and OpenError() says why.
  int Open();
  // The same for an explicit UTF-8 path.
  int OpenFile(const std::string& path);
  // Opens an existing file for reading only (inspection tools): nothing is created
  // or written, not even the journal mode or the lookup indexes. 0 or -1.
  int OpenFileReadOnly(const std::string& path);
  bool IsOpen() const { return connection_ != nullptr; }
  const std::string& OpenError() const { return openError_; }

  // 0 when the info table is missing, else the integer value of the
  // "data_version" row (0 when that row is missing or unreadable).
  int GetDataVersion();

  // Runs upgrade steps GetDataVersion()+1 to 6, each in its own transaction that
  // also records the new version; a failing statement inside a step does not stop
  // it (a stale file may already hold a table). Then makes sure the lookup indexes
  // exist. Returns 0, or -1 when the database is not open.
  int Upgrade();

  // Runs `sql` (one or more statements; `args` bind to each statement with
  // parameters). Returns -1 on failure, otherwise the last inserted row id.
  int64_t ExecReturningRowId(std::string_view sql, const SqlArgs& args = {});

  // Runs `sql` like ExecReturningRowId. Returns 0, or -1 on failure.
  int Execute(std::string_view sql, const SqlArgs& args = {});

  // Runs a query. Returns -1 on failure, else the number of rows; fills `result`
  // (column names and cells) when given.
  int Query(std::string_view sql, const SqlArgs& args = {}, QueryTable* result = nullptr);

  // Runs `work` inside one transaction that no other thread's statement can enter,
  // and commits when `work` returns true, rolls back otherwise. Called while this
  // thread already has a transaction open, `work` simply joins it. Returns 0 when
  // the work succeeded and was committed, -1 otherwise.
  int RunInTransaction(const std::function<bool()>& work);

  // Writes what the write-ahead log holds back into the file itself and empties the
  // log, so that the file alone holds everything (at the end of a run: a copy of it
  // is then complete). Waits for readers up to the busy timeout. 0 or -1.
  int WriteBackLog();

  // Receives each statement's text as it starts (diagnostics, tests).
  void SetStatementObserver(std::function<void(std::string_view)> observer);

  // Called once, on the thread whose statement found it, the first time SQLite says
  // that the open file is damaged (a file may open and read well, and one page of it
  // fail later). By then a copy of the file as it was (with its write-ahead log) is
  // kept beside it, named by `copyPath` (empty when the copy could not be made).
  // The database stays open: statements that do not touch the damaged pages go on
  // working, so what can still be saved is saved. Set before other threads start.
  void SetDamageListener(std::function<void(const std::string& copyPath)> listener);
  // True once a statement found the file damaged.
  bool IsDamaged() const { return damaged_.load(); }

  // Why changes could not be saved, as told to the save-failure listener.
  enum class SaveFailure { kDiskFull, kReadOnly, kHeldElsewhere, kWriteError };
  // Called on the thread whose statement met it, once per kind of failure for each
  // opened file, the first time a change cannot be saved: the disk is full, the file
  // may not be written, another program holds its lock, or the system refused the
  // write. Open itself reports a file that is read-only or held for writing by
  // another program, before anything is lost. The database stays open and later
  // changes are saved again once the cause has gone. Set before Open.
  void SetSaveFailureListener(std::function<void(SaveFailure failure)> listener);

 private:
  void CreateLookupIndexes();
  // Runs `sql` on the connection and notices a damaged file.
  int Run(std::string_view sql, const SqlArgs& args, QueryTable* rows);
  // Keeps the damaged file aside and tells the listener; once. Lock held.
  void OnDamage();
  // Tells the save-failure listener about `failure`, once per kind.
  void OnSaveFailure(SaveFailure failure);
  // Right after opening: a file that cannot be written now is reported at once, and
  // while another program holds it statements give up quickly instead of each
  // stalling the interface for the whole busy timeout.
  void CheckWritable();

  std::unique_ptr<SqliteConnection> connection_;
  std::string openError_;
  std::string path_;
  std::function<void(const std::string&)> damageListener_;
  std::atomic<bool> damaged_{false};  // set under the connection's lock
  std::function<void(SaveFailure)> saveFailureListener_;
  std::atomic<unsigned> saveFailuresTold_{0};  // one bit per SaveFailure
};

}  // namespace tarvo
