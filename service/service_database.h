#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "sqlite_statement.h"

struct sqlite3;

namespace tarvo::service {

// The service's own SQLite file (write-ahead log): one connection shared by the
// request threads, the proxy threads and the seed loader.
//
// Threads: every use goes through Read or Write, which hold `mutex_` for the whole
// piece of work, so statements never interleave. Write wraps the work in one
// transaction that is rolled back when the work throws: a request either changes
// everything it meant to or nothing. Committed work survives the process being
// killed at any later moment.
class ServiceDatabase {
 public:
  // Opens or creates the file (and its folder) and brings the tables up to date.
  // Throws ServiceError when the file cannot be opened, is not a database or is
  // damaged (then the message says so and how to go on).
  explicit ServiceDatabase(const std::string& path);
  ~ServiceDatabase();
  ServiceDatabase(const ServiceDatabase&) = delete;
  ServiceDatabase& operator=(const ServiceDatabase&) = delete;

  // Runs `work(*this)` under the lock and returns its result. Any thread.
  template <class Work>
  auto Read(Work&& work) {
    std::lock_guard lock(mutex_);
    return work(*this);
  }

  // Runs `work(*this)` under the lock inside one transaction; commits when it
  // returns, rolls back and rethrows when it throws. Any thread.
  template <class Work>
  auto Write(Work&& work) {
    std::lock_guard lock(mutex_);
    Execute("BEGIN IMMEDIATE");
    try {
      if constexpr (std::is_void_v<decltype(work(*this))>) {
        work(*this);
        Execute("COMMIT");
      } else {
        auto result = work(*this);
        Execute("COMMIT");
        return result;
      }
    } catch (...) {
      RollbackQuietly();
      throw;
    }
  }

  // The following are valid only inside Read or Write (the lock is held).
  SqliteStatement Prepare(std::string_view sql);
  void Execute(std::string_view sql);
  int64_t LastInsertId() const;
  int Changes() const;

 private:
  void CreateSchema();
  // What SQLite's quick check finds wrong with the file; empty when it is sound.
  std::string Damage();
  void RollbackQuietly() noexcept;

  std::mutex mutex_;
  sqlite3* db_ = nullptr;  // owned; closed by the destructor
};

}  // namespace tarvo::service
