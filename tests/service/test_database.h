#pragma once

#include <optional>
#include <string>

namespace tarvo::service::test {

// A fresh, empty database on the PostgreSQL server the test command started
// (with_postgresql.sh sets TARVO_TEST_POSTGRESQL), dropped when the object goes.
class TestDatabase {
 public:
  // The server's address, when the tests run against PostgreSQL.
  static std::optional<std::string> Server();

  // Creates the database; fails the test when the server does not answer.
  TestDatabase();
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  // Ends every session on the database, as a server restart does.
  void EndSessions() const;

  // "postgresql://tarvo@127.0.0.1:PORT/NAME".
  const std::string& address() const { return address_; }

 private:
  std::string name_;
  std::string address_;
};

}  // namespace tarvo::service::test
