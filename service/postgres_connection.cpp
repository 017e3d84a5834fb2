#include "postgres_connection.h"

#include <libpq-fe.h>

#include <memory>

#include "postgres_address.h"
#include "postgres_statement.h"
#include "service_error.h"

namespace tarvo::service {

namespace {

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// Notices ("relation already exists, skipping") are for people at a console, not
// for the service's output.
void IgnoreNotice(void* /*context*/, const PGresult* /*result*/) {}

// libpq's message with every password libpq read from `address` hidden, should it
// ever repeat one.
std::string Scrubbed(std::string message, const std::string& address) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(address.c_str(), &error);
  PQfreemem(error);
  for (const PQconninfoOption* option = options; option != nullptr && option->keyword != nullptr; ++option) {
    const std::string keyword = option->keyword;
    if ((keyword != "password" && keyword != "sslpassword") || option->val == nullptr || option->val[0] == '\0') {
      continue;
    }
    const std::string secret = option->val;
    for (size_t at = message.find(secret); at != std::string::npos; at = message.find(secret, at + 3)) {
      message.replace(at, secret.size(), "***");
    }
  }
  PQconninfoFree(options);
  return message;
}

}  // namespace

PostgresConnection::PostgresConnection(const std::string& address) {
  if (const std::string problem = PostgresAddress::Problem(address); !problem.empty()) {
    throw ServiceError("cannot connect to the database " + PostgresAddress::Redacted(address) + ": " + problem);
  }
  connection_ = PQconnectdb(address.c_str());
  if (connection_ == nullptr || PQstatus(connection_) != CONNECTION_OK) {
    const std::string reason = connection_ != nullptr ? PQerrorMessage(connection_) : "out of memory";
    PQfinish(connection_);
    throw ServiceError("cannot connect to the database " + PostgresAddress::Redacted(address) + ": " +
                       Scrubbed(reason, address));
  }
  PQsetNoticeReceiver(connection_, IgnoreNotice, nullptr);
}

PostgresConnection::~PostgresConnection() { PQfinish(connection_); }

DatabaseStatement PostgresConnection::Prepare(std::string_view sql) {
  auto found = prepared_.find(std::string(sql));
  if (found == prepared_.end()) {
    Prepared statement{"s" + std::to_string(prepared_.size()), SqlDialect::ParameterCount(sql)};
    const Result result(
        PQprepare(connection_, statement.name.c_str(), dialect_.Statement(sql).c_str(), 0, nullptr));
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
      throw ServiceError(std::string("cannot prepare statement: ") + PQerrorMessage(connection_));
    }
    found = prepared_.emplace(std::string(sql), std::move(statement)).first;
  }
  return DatabaseStatement(
      std::make_unique<PostgresStatement>(connection_, found->second.name, found->second.parameters));
}

void PostgresConnection::Execute(std::string_view sql) {
  const Result result(PQexec(connection_, std::string(sql).c_str()));
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw ServiceError(std::string("database error: ") + PQerrorMessage(connection_));
  }
}

void PostgresConnection::RollbackQuietly() noexcept {
  if (PQtransactionStatus(connection_) != PQTRANS_IDLE) {
    PQclear(PQexec(connection_, "ROLLBACK"));
  }
}

bool PostgresConnection::Broken() const { return PQstatus(connection_) != CONNECTION_OK; }

bool PostgresConnection::IsAddress(std::string_view location) {
  return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

}  // namespace tarvo::service
