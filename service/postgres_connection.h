#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "database_connection.h"

struct pg_conn;

namespace tarvo::service {

// A connection to a PostgreSQL server shared by every process of the service
// ("postgresql://user@host:port/database", or any connection string libpq takes).
// Each statement is prepared on the server once per connection and run again with
// new parameters.
class PostgresConnection : public DatabaseConnection {
 public:
  // Connects; throws ServiceError saying why not (server down, refused, unknown
  // database, a password libpq would misread: PostgresAddress::Problem), with the
  // address but never its password (PostgresAddress::Redacted).
  explicit PostgresConnection(const std::string& address);
  ~PostgresConnection() override;
  PostgresConnection(const PostgresConnection&) = delete;
  PostgresConnection& operator=(const PostgresConnection&) = delete;

  DatabaseStatement Prepare(std::string_view sql) override;
  void Execute(std::string_view sql) override;
  void RollbackQuietly() noexcept override;
  bool Broken() const override;
  const SqlDialect& dialect() const override { return dialect_; }

  // True when `location` names a PostgreSQL server rather than a file.
  static bool IsAddress(std::string_view location);

 private:
  struct Prepared {
    std::string name;
    int parameters = 0;
  };

  const SqlDialect dialect_{SqlDialect::Engine::kPostgresql};
  pg_conn* connection_ = nullptr;  // owned; finished by the destructor
  std::unordered_map<std::string, Prepared> prepared_;  // by the service's SQL text
};

}  // namespace tarvo::service
