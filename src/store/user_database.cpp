#include "store/user_database.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/schema_steps.h"

namespace tarvo {

namespace {

// A second browser process on the same profile holds the lock only for one
// statement or one short transaction; waiting this long covers a slow disk.
constexpr int kBusyTimeoutMs = 5000;
// While another program holds the file's lock from the start (a database tool left
// open on it), each statement waits only this long: changes are not saved meanwhile,
// which the user is told, but the browser stays usable.
constexpr int kHeldBusyTimeoutMs = 100;

}  // namespace

int UserDatabase::Open() { return OpenFile(SettingsRegistry::Instance().GetUtf8(SettingsKeys::kDatabaseFile)); }

int UserDatabase::OpenFile(const std::string& path) {
  openError_.clear();
  path_ = path;
  damaged_ = false;
  connection_ = SqliteConnection::Open(path, SqliteConnection::Access::kReadWrite, kBusyTimeoutMs, openError_);
  if (!connection_) {
    return -1;
  }
  saveFailuresTold_ = 0;
  CheckWritable();
  // A write-ahead log makes a commit one synced append instead of a synced journal
  // plus a synced database, and lets a second process read while this one writes.
  // Where it cannot be used (a folder that refuses the shared-memory file) the
  // ordinary rollback journal stays, which is just slower.
  Execute("PRAGMA journal_mode=WAL;");
  Execute("PRAGMA synchronous=FULL;");
  CreateLookupIndexes();
  return 0;
}

void UserDatabase::CheckWritable() {
  if (connection_->IsReadOnly()) {
    OnSaveFailure(SaveFailure::kReadOnly);
    return;
  }
  connection_->SetBusyTimeout(kHeldBusyTimeoutMs);
  const int status = connection_->Run("BEGIN IMMEDIATE; ROLLBACK;", {}, nullptr) & 0xff;
  if (status == SQLITE_BUSY) {
    OnSaveFailure(SaveFailure::kHeldElsewhere);
    return;  // the short wait stays for this run
  }
  connection_->SetBusyTimeout(kBusyTimeoutMs);
}

int UserDatabase::OpenFileReadOnly(const std::string& path) {
  openError_.clear();
  path_ = path;
  damaged_ = false;
  connection_ = SqliteConnection::Open(path, SqliteConnection::Access::kReadOnly, kBusyTimeoutMs, openError_);
  return connection_ ? 0 : -1;
}

int UserDatabase::GetDataVersion() {
  if (Query("SELECT * FROM sqlite_master where type='table' and name='info'") <= 0) {
    return 0;
  }
  QueryTable table;
  if (Query("SELECT value FROM info WHERE key='data_version';", {}, &table) <= 0) {
    return 0;
  }
  return std::atoi(table.Text(0, 0).c_str());
}

int UserDatabase::Upgrade() {
  if (!connection_) {
    return -1;
  }
  for (int version = std::max(GetDataVersion(), 0) + 1; version <= kCurrentDataVersion; ++version) {
    RunInTransaction([&] {
      for (const SchemaStatement& statement : SchemaStepStatements(version)) {
        Execute(statement.sql, statement.args);
      }
      Execute("update info set value = ? where key = 'data_version';", {version});
      return true;  // failures inside a step are expected on stale files
    });
  }
  CreateLookupIndexes();
  return 0;
}

int64_t UserDatabase::ExecReturningRowId(std::string_view sql, const SqlArgs& args) {
  if (!connection_) {
    return -1;
  }
  SqliteConnection::Lock lock(*connection_);
  if (Run(sql, args, nullptr) != SQLITE_OK) {
    return -1;
  }
  return connection_->LastInsertRowId();
}

int UserDatabase::Execute(std::string_view sql, const SqlArgs& args) {
  return connection_ && Run(sql, args, nullptr) == SQLITE_OK ? 0 : -1;
}

int UserDatabase::Query(std::string_view sql, const SqlArgs& args, QueryTable* result) {
  if (!connection_) {
    return -1;
  }
  QueryTable table;
  if (Run(sql, args, &table) != SQLITE_OK) {
    return -1;
  }
  const int rows = static_cast<int>(table.rows.size());
  if (result != nullptr) {
    *result = std::move(table);
  }
  return rows;
}

int UserDatabase::RunInTransaction(const std::function<bool()>& work) {
  if (!connection_) {
    return -1;
  }
  SqliteConnection::Lock lock(*connection_);
  if (connection_->InTransaction()) {
    return work() ? 0 : -1;
  }
  if (Execute("begin;") != 0) {
    return -1;
  }
  if (!work()) {
    Execute("rollback;");
    return -1;
  }
  if (Execute("commit;") != 0) {
    Execute("rollback;");
    return -1;
  }
  return 0;
}

int UserDatabase::WriteBackLog() { return Execute("PRAGMA wal_checkpoint(TRUNCATE);"); }

void UserDatabase::SetStatementObserver(std::function<void(std::string_view)> observer) {
  if (connection_) {
    connection_->SetTraceObserver(std::move(observer));
  }
}

void UserDatabase::SetDamageListener(std::function<void(const std::string& copyPath)> listener) {
  damageListener_ = std::move(listener);
}

int UserDatabase::Run(std::string_view sql, const SqlArgs& args, QueryTable* rows) {
  SqliteConnection::Lock lock(*connection_);
  const int status = connection_->Run(sql, args, rows);
  switch (status & 0xff) {  // extended codes keep the primary one in the low byte
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      OnDamage();
      break;
    case SQLITE_FULL:
      OnSaveFailure(SaveFailure::kDiskFull);
      break;
    case SQLITE_READONLY:
      OnSaveFailure(SaveFailure::kReadOnly);
      break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      OnSaveFailure(SaveFailure::kHeldElsewhere);
      break;
    case SQLITE_IOERR:
      OnSaveFailure(SaveFailure::kWriteError);
      break;
    default:
      break;
  }
  return status;
}

void UserDatabase::SetSaveFailureListener(std::function<void(SaveFailure failure)> listener) {
  saveFailureListener_ = std::move(listener);
}

void UserDatabase::OnSaveFailure(SaveFailure failure) {
  const unsigned bit = 1u << static_cast<unsigned>(failure);
  if ((saveFailuresTold_.fetch_or(bit) & bit) != 0 || !saveFailureListener_) {
    return;
  }
  saveFailureListener_(failure);
}

void UserDatabase::OnDamage() {
  if (damaged_.exchange(true)) {
    return;
  }
  // The copy is taken before this process writes anything more into the file (the
  // lock is held): later writes could only spread the damage, and the copy keeps
  // what a repair tool may still recover.
  namespace fs = std::filesystem;
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  std::string copy = path_ + ".damaged-" + std::to_string(seconds);
  std::error_code error;
  fs::copy_file(path_, copy, fs::copy_options::overwrite_existing, error);
  if (!error && fs::exists(path_ + "-wal", error)) {
    fs::copy_file(path_ + "-wal", copy + "-wal", fs::copy_options::overwrite_existing, error);
  }
  if (error) {
    fs::remove(copy, error);
    copy.clear();
  }
  if (damageListener_) {
    damageListener_(copy);
  }
}

void UserDatabase::CreateLookupIndexes() {
  // Before the upgrade has created domainlist these fail (and roll back); Upgrade
  // runs them again. One transaction: one commit instead of four.
  RunInTransaction([this] {
    bool created = true;
    for (const std::string& statement : LookupIndexStatements()) {
      created = Execute(statement) == 0 && created;
    }
    return created;
  });
}

}  // namespace tarvo
