#include "store/user_database.h"

#include <algorithm>
#include <cstdlib>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/schema_steps.h"

namespace tarvo {

namespace {

// A second browser process on the same profile holds the lock only for one
// statement or one short transaction; waiting this long covers a slow disk.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

UserDatabase& UserDatabase::Instance() {
  static UserDatabase* database = new UserDatabase();  // never destroyed: used until exit
  return *database;
}

int UserDatabase::Open() { return OpenFile(SettingsRegistry::Instance().GetUtf8(SettingsKeys::kDatabaseFile)); }

int UserDatabase::OpenFile(const std::string& path) {
  openError_.clear();
  connection_ = SqliteConnection::Open(path, SqliteConnection::Access::kReadWrite, kBusyTimeoutMs, openError_);
  if (!connection_) {
    return -1;
  }
  // A write-ahead log makes a commit one synced append instead of a synced journal
  // plus a synced database, and lets a second process read while this one writes.
  // Where it cannot be used (a folder that refuses the shared-memory file) the
  // ordinary rollback journal stays, which is just slower.
  Execute("PRAGMA journal_mode=WAL;");
  Execute("PRAGMA synchronous=FULL;");
  CreateLookupIndexes();
  return 0;
}

int UserDatabase::OpenFileReadOnly(const std::string& path) {
  openError_.clear();
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
  if (connection_->Run(sql, args, nullptr) != SQLITE_OK) {
    return -1;
  }
  return connection_->LastInsertRowId();
}

int UserDatabase::Execute(std::string_view sql, const SqlArgs& args) {
  return connection_ && connection_->Run(sql, args, nullptr) == SQLITE_OK ? 0 : -1;
}

int UserDatabase::Query(std::string_view sql, const SqlArgs& args, QueryTable* result) {
  if (!connection_) {
    return -1;
  }
  QueryTable table;
  if (connection_->Run(sql, args, &table) != SQLITE_OK) {
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

void UserDatabase::SetStatementObserver(std::function<void(std::string_view)> observer) {
  if (connection_) {
    connection_->SetTraceObserver(std::move(observer));
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
