#include "test_database.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace tarvo::service::test {

namespace {

// Runs one statement on the server's maintenance database.
void Administer(const std::string& server, const std::string& sql) {
  PGconn* connection = PQconnectdb((server + "postgres").c_str());
  ASSERT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
  PGresult* result = PQexec(connection, sql.c_str());
  EXPECT_TRUE(PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK) << sql << ": " << PQerrorMessage(connection);
  PQclear(result);
  PQfinish(connection);
}

}  // namespace

std::optional<std::string> TestDatabase::Server() {
  const char* server = std::getenv("TARVO_TEST_POSTGRESQL");
  return server != nullptr && server[0] != '\0' ? std::optional<std::string>(server) : std::nullopt;
}

TestDatabase::TestDatabase() {
  static std::atomic<int> made{0};
  name_ = "test_" + std::to_string(getpid()) + "_" + std::to_string(made++);
  address_ = Server().value_or("") + name_;
  Administer(Server().value_or(""), "CREATE DATABASE " + name_);
}

TestDatabase::~TestDatabase() { Administer(Server().value_or(""), "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)"); }

void TestDatabase::EndSessions() const {
  Administer(Server().value_or(""), "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname='" + name_ +
                                        "' AND pid<>pg_backend_pid()");
}

}  // namespace tarvo::service::test
