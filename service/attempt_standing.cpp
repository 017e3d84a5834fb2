#include "attempt_standing.h"

#include "attempt_limiter.h"
#include "database_connection.h"

namespace tarvo::service {

AttemptStanding::AttemptStanding(DatabaseConnection& db, const std::vector<Entry>& entries, int64_t now) {
  if (entries.empty()) {
    return;
  }
  // One statement per number of pairs, so it is compiled once and kept.
  std::string sql = "SELECT scope, key, started_at, count FROM attempts WHERE ";
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string scope = std::to_string(2 * i + 1);
    const std::string key = std::to_string(2 * i + 2);
    sql += (i == 0 ? "(scope=?" : " OR (scope=?") + scope + " AND key=?" + key + ")";
  }
  auto query = db.Prepare(sql);
  for (size_t i = 0; i < entries.size(); ++i) {
    query.Bind(static_cast<int>(2 * i + 1), entries[i].first->scope());
    query.Bind(static_cast<int>(2 * i + 2), entries[i].second);
  }
  std::map<std::pair<std::string, std::string>, std::pair<int64_t, int64_t>> rows;  // started_at, count
  while (query.Step()) {
    rows[{query.Text(0), query.Text(1)}] = {query.Int(2), query.Int(3)};
  }
  for (const Entry& entry : entries) {
    const auto row = rows.find({entry.first->scope(), entry.second});
    attempts_[entry] = row == rows.end() ? 0 : entry.first->InWindow(row->second.first, row->second.second, now);
  }
}

int64_t AttemptStanding::Attempts(const AttemptLimiter& limiter, const std::string& key) const {
  const auto found = attempts_.find({&limiter, key});
  return found == attempts_.end() ? 0 : found->second;
}

bool AttemptStanding::Allows(const AttemptLimiter& limiter, const std::string& key) const {
  return limiter.Allows(Attempts(limiter, key));
}

}  // namespace tarvo::service
