#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "statement_backend.h"

struct pg_conn;
struct pg_result;

namespace tarvo::service {

// A statement on a PostgreSQL connection: prepared once per connection under
// `name`, run with its parameters sent apart from the SQL (as text), its rows read
// from the result. A parameter left unbound is NULL, as in SQLite.
class PostgresStatement : public StatementBackend {
 public:
  // `connection` must outlive the statement; `name` is a statement the connection
  // has prepared, taking `parameters` parameters.
  PostgresStatement(pg_conn* connection, std::string name, int parameters);
  ~PostgresStatement() override;
  PostgresStatement(const PostgresStatement&) = delete;
  PostgresStatement& operator=(const PostgresStatement&) = delete;

  void Bind(int index, int64_t value) override;
  void Bind(int index, std::string_view text) override;
  void BindNull(int index) override;
  bool Step() override;
  int64_t Int(int column) const override;
  std::string Text(int column) const override;
  bool IsNull(int column) const override;

 private:
  std::optional<std::string>& Parameter(int index);

  pg_conn* const connection_;  // not owned
  const std::string name_;
  std::vector<std::optional<std::string>> parameters_;
  pg_result* result_ = nullptr;  // owned once run
  int row_ = -1;
};

}  // namespace tarvo::service
