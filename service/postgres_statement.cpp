#include "postgres_statement.h"

#include <libpq-fe.h>

#include <cstdlib>

#include "service_error.h"

namespace tarvo::service {

PostgresStatement::PostgresStatement(pg_conn* connection, std::string name, int parameters)
    : connection_(connection), name_(std::move(name)), parameters_(static_cast<size_t>(parameters)) {}

PostgresStatement::~PostgresStatement() { PQclear(result_); }

std::optional<std::string>& PostgresStatement::Parameter(int index) {
  if (index < 1 || static_cast<size_t>(index) > parameters_.size()) {
    throw ServiceError("cannot bind a value: no parameter " + std::to_string(index));
  }
  return parameters_[static_cast<size_t>(index) - 1];
}

void PostgresStatement::Bind(int index, int64_t value) { Parameter(index) = std::to_string(value); }

void PostgresStatement::Bind(int index, std::string_view text) { Parameter(index) = std::string(text); }

void PostgresStatement::BindNull(int index) { Parameter(index).reset(); }

bool PostgresStatement::Step() {
  if (result_ == nullptr) {
    std::vector<const char*> values;
    values.reserve(parameters_.size());
    for (const auto& parameter : parameters_) {
      values.push_back(parameter ? parameter->c_str() : nullptr);
    }
    result_ = PQexecPrepared(connection_, name_.c_str(), static_cast<int>(values.size()), values.data(), nullptr,
                             nullptr, 0);
    const ExecStatusType status = PQresultStatus(result_);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
      throw ServiceError(std::string("database error: ") + PQerrorMessage(connection_));
    }
  }
  return ++row_ < PQntuples(result_);
}

int64_t PostgresStatement::Int(int column) const {
  return std::strtoll(PQgetvalue(result_, row_, column), nullptr, 10);
}

std::string PostgresStatement::Text(int column) const {
  return std::string(PQgetvalue(result_, row_, column), static_cast<size_t>(PQgetlength(result_, row_, column)));
}

bool PostgresStatement::IsNull(int column) const { return PQgetisnull(result_, row_, column) != 0; }

}  // namespace tarvo::service
