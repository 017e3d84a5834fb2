#include "write_locks.h"

#include <algorithm>
#include <cstdint>

#include "database_connection.h"

namespace tarvo::service {

namespace {

// PostgreSQL names a lock by two 32-bit numbers: the dialect's space and a hash of
// the key (FNV-1a). A collision only makes two writers wait for each other.
int32_t LockNumber(const std::string& key) {
  uint32_t hash = 2166136261u;
  for (const char c : key) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return static_cast<int32_t>(hash);
}

}  // namespace

void WriteLocks::Take(DatabaseConnection& db, std::vector<std::string> keys) {
  const std::string_view lock = db.dialect().KeyLock();
  if (lock.empty()) {
    return;
  }
  std::vector<int32_t> numbers;
  numbers.reserve(keys.size());
  for (const std::string& key : keys) {
    numbers.push_back(LockNumber(key));
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  for (const int32_t number : numbers) {
    db.Prepare(lock).Bind(1, int64_t{number}).Step();
  }
}

}  // namespace tarvo::service
