#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "database_connection.h"
#include "service_error.h"

namespace tarvo::service {

// The service's database: its own SQLite file, or a PostgreSQL server that
// several service processes share. Hands connections to the request threads, the
// proxies' credential checks, the housekeeping and the seed loader.
//
// Threads: every use goes through Read or Write, which lend one connection to the
// calling thread for the whole piece of work. A SQLite file has one connection,
// so its work never interleaves; PostgreSQL has up to `connections`, so reads and
// writes run side by side, writers of the same rows in every process taking turns
// by the locks they take (WriteLocks). Write wraps the work in one transaction that is rolled back when
// the work throws: a request either changes everything it meant to or nothing.
class ServiceDatabase {
 public:
  // `location` is a file path (SQLite) or a "postgresql://" address. Opens the
  // first connection and brings the tables up to date. Throws ServiceError when
  // the database cannot be opened or reached, is damaged or is newer than this
  // service (the message says so and how to go on).
  ServiceDatabase(const std::string& location, size_t connections);
  ~ServiceDatabase();
  ServiceDatabase(const ServiceDatabase&) = delete;
  ServiceDatabase& operator=(const ServiceDatabase&) = delete;

  // A connection of its own to the database at `location` (file path or
  // "postgresql://" address), outside any pool. Throws ServiceError.
  static std::unique_ptr<DatabaseConnection> Connect(const std::string& location);

  // Runs `work(connection)` and returns its result. Any thread. When the server
  // has dropped the connection meanwhile (restarted, or ended idle sessions), the
  // work runs once more on a fresh one: reading twice changes nothing.
  template <class Work>
  auto Read(Work&& work) {
    Lease lease(*this);
    try {
      return work(lease.connection());
    } catch (const ServiceError&) {
      if (!lease.connection().Broken()) {
        throw;
      }
      lease.Renew();
      return work(lease.connection());
    }
  }

  // Runs `work(connection)` inside one transaction; commits when it returns, rolls
  // back and rethrows when it throws. Any thread. A connection the server dropped
  // is replaced before the transaction begins; once work has begun it is never
  // repeated, since a lost answer to COMMIT leaves unknown whether it took effect.
  template <class Work>
  auto Write(Work&& work) {
    return Transact(std::forward<Work>(work), &SqlDialect::BeginWrite);
  }

  // As Write, for work that must be the only writer of every process while it
  // runs (the schema, a re-seed): it waits for every other writer and they for it.
  template <class Work>
  auto WriteAlone(Work&& work) {
    return Transact(std::forward<Work>(work), &SqlDialect::BeginAlone);
  }

  // As Write, for work that only adds rows and reads nothing another writer may
  // change meanwhile (launch reports): it does not wait for other writers.
  template <class Work>
  auto Append(Work&& work) {
    return Transact(std::forward<Work>(work), &SqlDialect::BeginAppend);
  }

 private:
  // One connection lent to one thread; given back (or, when broken, dropped so a
  // fresh one replaces it) when the lease ends.
  class Lease {
   public:
    explicit Lease(ServiceDatabase& database) : database_(database), connection_(database.Borrow()) {}
    ~Lease() {
      if (connection_) {  // null when a renewal found no server
        database_.GiveBack(std::move(connection_));
      }
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    DatabaseConnection& connection() { return *connection_; }
    // Gives the connection back (a broken one is dropped) and takes another.
    void Renew() {
      database_.GiveBack(std::move(connection_));
      connection_ = database_.Borrow();
    }

   private:
    ServiceDatabase& database_;
    std::unique_ptr<DatabaseConnection> connection_;
  };

  using Beginning = std::string_view (SqlDialect::*)() const;

  template <class Work>
  auto Transact(Work&& work, Beginning begin) {
    Lease lease(*this);
    Begin(lease, begin);
    DatabaseConnection& db = lease.connection();
    try {
      if constexpr (std::is_void_v<decltype(work(db))>) {
        work(db);
        db.Execute("COMMIT");
      } else {
        auto result = work(db);
        db.Execute("COMMIT");
        return result;
      }
    } catch (...) {
      db.RollbackQuietly();
      throw;
    }
  }

  std::unique_ptr<DatabaseConnection> Borrow();
  // Begins a transaction on the lease's connection, replacing it first when the
  // server has dropped it.
  void Begin(Lease& lease, Beginning begin);
  void GiveBack(std::unique_ptr<DatabaseConnection> connection);

  const std::string location_;
  const size_t maxConnections_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<std::unique_ptr<DatabaseConnection>> idle_;  // guarded by mutex_
  size_t open_ = 0;                                       // idle and lent; guarded by mutex_
};

}  // namespace tarvo::service
