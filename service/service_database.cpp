#include "service_database.h"

#include "postgres_connection.h"
#include "service_schema.h"
#include "sqlite_connection.h"

namespace tarvo::service {

ServiceDatabase::ServiceDatabase(const std::string& location, size_t connections)
    : location_(location),
      // Several connections to one SQLite file would only wait for each other's
      // write lock; one connection keeps its work in order.
      maxConnections_(PostgresConnection::IsAddress(location) ? std::max<size_t>(connections, 1) : 1) {
  // Processes starting together bring the tables up to date one after another.
  WriteAlone([](DatabaseConnection& db) { ServiceSchema::Apply(db); });
}

ServiceDatabase::~ServiceDatabase() = default;

std::unique_ptr<DatabaseConnection> ServiceDatabase::Connect(const std::string& location) {
  if (PostgresConnection::IsAddress(location)) {
    return std::make_unique<PostgresConnection>(location);
  }
  return std::make_unique<SqliteConnection>(location);
}

std::unique_ptr<DatabaseConnection> ServiceDatabase::Borrow() {
  {
    std::unique_lock lock(mutex_);
    returned_.wait(lock, [this] { return !idle_.empty() || open_ < maxConnections_; });
    if (!idle_.empty()) {
      auto connection = std::move(idle_.back());
      idle_.pop_back();
      return connection;
    }
    ++open_;
  }
  // Connecting takes a round trip to the server: not under the lock.
  try {
    return Connect(location_);
  } catch (...) {
    std::lock_guard lock(mutex_);
    --open_;
    returned_.notify_one();
    throw;
  }
}

void ServiceDatabase::Begin(Lease& lease, Beginning begin) {
  try {
    lease.connection().Execute((lease.connection().dialect().*begin)());
  } catch (const ServiceError&) {
    // The transaction may have begun with its lock refused (a lock_timeout, a
    // cancelled statement): it is aborted, and so would be everything after it.
    lease.connection().RollbackQuietly();
    if (!lease.connection().Broken()) {
      throw;
    }
    lease.Renew();
    lease.connection().Execute((lease.connection().dialect().*begin)());
  }
}

void ServiceDatabase::GiveBack(std::unique_ptr<DatabaseConnection> connection) {
  // Whatever left it inside a transaction (an aborted one above all), the next
  // borrower starts outside one; a connection that cannot even roll back is dropped.
  connection->RollbackQuietly();
  {
    std::lock_guard lock(mutex_);
    if (connection->Broken()) {
      --open_;
    } else {
      idle_.push_back(std::move(connection));
    }
  }
  returned_.notify_one();
}

}  // namespace tarvo::service
