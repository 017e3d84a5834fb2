#include "attempt_limiter.h"

#include "database_connection.h"

namespace tarvo::service {

int64_t AttemptLimiter::Attempts(DatabaseConnection& db, const std::string& key, int64_t now) const {
  auto query = db.Prepare("SELECT count FROM attempts WHERE scope=?1 AND key=?2 AND started_at>?3");
  query.Bind(1, scope_).Bind(2, key).Bind(3, now - windowSeconds_);
  return query.Step() ? query.Int(0) : int64_t{0};
}

bool AttemptLimiter::Allows(DatabaseConnection& db, const std::string& key, int64_t now) const {
  return Allows(Attempts(db, key, now));
}

void AttemptLimiter::Count(DatabaseConnection& db, const std::string& key, int64_t now) const {
  // A window that has run out starts again with this attempt.
  db.Prepare("UPDATE attempts SET count=CASE WHEN started_at>?3 THEN count+1 ELSE 1 END,"
             " started_at=CASE WHEN started_at>?3 THEN started_at ELSE ?4 END WHERE scope=?1 AND key=?2")
      .Bind(1, scope_)
      .Bind(2, key)
      .Bind(3, now - windowSeconds_)
      .Bind(4, now)
      .Run();
  if (db.Prepare("SELECT 1 FROM attempts WHERE scope=?1 AND key=?2").Bind(1, scope_).Bind(2, key).Step()) {
    return;
  }
  auto keys = db.Prepare("SELECT COUNT(*) FROM attempts WHERE scope=?1");
  keys.Bind(1, scope_).Step();
  for (int64_t excess = keys.Int(0) - static_cast<int64_t>(maxKeys_) + 1; excess > 0; --excess) {
    db.Prepare("DELETE FROM attempts WHERE scope=?1 AND key=(SELECT key FROM attempts WHERE scope=?1"
               " ORDER BY started_at, key LIMIT 1)")
        .Bind(1, scope_)
        .Run();
  }
  db.Prepare("INSERT INTO attempts(scope, key, started_at, count) VALUES(?1, ?2, ?3, 1)")
      .Bind(1, scope_)
      .Bind(2, key)
      .Bind(3, now)
      .Run();
}

void AttemptLimiter::Clear(DatabaseConnection& db, const std::string& key) const {
  db.Prepare("DELETE FROM attempts WHERE scope=?1 AND key=?2").Bind(1, scope_).Bind(2, key).Run();
}

}  // namespace tarvo::service
