#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "statement_backend.h"

namespace tarvo::service {

// One prepared statement of the service's database, whichever engine holds it:
// values are always bound as parameters, never spliced into the SQL text, and
// every failure is thrown as a ServiceError. Used by one thread at a time, while
// the connection it came from is lent to that thread (ServiceDatabase::Read/Write).
class DatabaseStatement {
 public:
  explicit DatabaseStatement(std::unique_ptr<StatementBackend> backend) : backend_(std::move(backend)) {}

  // Parameters are numbered from 1. Each returns *this so binds can be chained.
  DatabaseStatement& Bind(int index, int64_t value) {
    backend_->Bind(index, value);
    return *this;
  }
  DatabaseStatement& Bind(int index, std::string_view text) {
    backend_->Bind(index, text);
    return *this;
  }
  DatabaseStatement& BindNull(int index) {
    backend_->BindNull(index);
    return *this;
  }

  // Runs the statement (the first call) or moves to its next row: true when a row
  // is available, false when the statement is done.
  bool Step() { return backend_->Step(); }
  // Runs a statement that returns no rows.
  void Run() {
    while (Step()) {
    }
  }

  int64_t Int(int column) const { return backend_->Int(column); }
  std::string Text(int column) const { return backend_->Text(column); }
  bool IsNull(int column) const { return backend_->IsNull(column); }

 private:
  std::unique_ptr<StatementBackend> backend_;
};

}  // namespace tarvo::service
