#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo::service {

// What one engine does for a DatabaseStatement: binds parameters (numbered from
// 1), runs, and reads the current row. Failures are thrown as ServiceError.
class StatementBackend {
 public:
  virtual ~StatementBackend() = default;

  virtual void Bind(int index, int64_t value) = 0;
  virtual void Bind(int index, std::string_view text) = 0;
  virtual void BindNull(int index) = 0;
  // Runs the statement on the first call; true while a row is available.
  virtual bool Step() = 0;
  virtual int64_t Int(int column) const = 0;
  virtual std::string Text(int column) const = 0;
  virtual bool IsNull(int column) const = 0;
};

}  // namespace tarvo::service
