#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "database_connection.h"

struct sqlite3;

namespace tarvo {
class SqliteStatement;
}

namespace tarvo::service {

// The service's own SQLite file (write-ahead log). Committed work survives the
// process being killed at any later moment. Each statement is compiled once and kept
// for its next use (at most kMaxKept of them); the statements in use must end before
// the connection does.
class SqliteConnection : public DatabaseConnection {
 public:
  // Opens or creates the file (and its folder, for its owner only). Throws
  // ServiceError when the file cannot be opened, is a symbolic link, is not a
  // database or is damaged (then the message says so and how to go on).
  explicit SqliteConnection(const std::string& path);
  ~SqliteConnection() override;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  DatabaseStatement Prepare(std::string_view sql) override;
  void Execute(std::string_view sql) override;
  void RollbackQuietly() noexcept override;
  bool Broken() const override { return false; }
  const SqlDialect& dialect() const override { return dialect_; }

  static constexpr size_t kMaxKept = 256;

 private:
  // What SQLite's quick check finds wrong with the file; empty when it is sound.
  std::string Damage();

  const SqlDialect dialect_{SqlDialect::Engine::kSqlite};
  sqlite3* db_ = nullptr;  // owned; closed by the destructor
  // Compiled statements not in use, by their SQL; finalized before db_ closes.
  std::map<std::string, std::unique_ptr<tarvo::SqliteStatement>, std::less<>> kept_;
};

}  // namespace tarvo::service
