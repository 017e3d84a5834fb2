#include "vpn_connections.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "field_values.h"
#include "secure_random.h"
#include "service_database.h"

namespace tarvo::service {

namespace {

constexpr size_t kProxyTokenBytes = 24;

void Charge(DatabaseConnection& db, int64_t userId, int64_t seconds) {
  db.Prepare("UPDATE users SET vpn_seconds=CASE WHEN vpn_seconds>?1 THEN vpn_seconds-?1 ELSE 0 END WHERE id=?2").Bind(1, seconds).Bind(2, userId).Run();
}

}  // namespace

VpnConnections::VpnConnections(ServiceDatabase& db, ServiceClock clock) : db_(db), clock_(std::move(clock)) {}

std::string VpnConnections::Open(DatabaseConnection& db, int64_t nodeId, std::optional<int64_t> userId,
                                 std::string_view brand, std::string_view client, int64_t budgetSeconds,
                                 int64_t now) const {
  const std::string token = RandomHex(kProxyTokenBytes);
  auto insert = db.Prepare(
      "INSERT INTO connections(proxy_token, node_id, user_id, brand, opened_at, budget_seconds, closed_at, client)"
      " VALUES(?1, ?2, ?3, ?4, ?5, ?6, NULL, ?7)");
  insert.Bind(1, token).Bind(2, nodeId).Bind(4, brand).Bind(5, now).Bind(6, budgetSeconds).Bind(7, client);
  if (userId) {
    insert.Bind(3, *userId);
  } else {
    insert.BindNull(3);
  }
  insert.Run();
  return token;
}

std::optional<VpnConnections::Live> VpnConnections::LiveAnonymous(DatabaseConnection& db, std::string_view client,
                                                                  std::string_view brand, int64_t now) const {
  auto query = db.Prepare(
      "SELECT proxy_token, node_id, opened_at+budget_seconds-?3 FROM connections WHERE client=?1 AND brand=?2"
      " AND user_id IS NULL AND closed_at IS NULL AND opened_at+budget_seconds>?3 ORDER BY opened_at DESC LIMIT 1");
  query.Bind(1, client).Bind(2, brand).Bind(3, now);
  if (!query.Step()) {
    return std::nullopt;
  }
  return Live{query.Text(0), query.Int(1), query.Int(2)};
}

VpnConnections::CloseResult VpnConnections::Close(DatabaseConnection& db, std::string_view proxyToken,
                                                  std::optional<int64_t> userId, int64_t now) const {
  auto query = db.Prepare("SELECT user_id, opened_at, budget_seconds, closed_at FROM connections WHERE proxy_token=?1");
  query.Bind(1, proxyToken);
  if (!query.Step()) {
    return CloseResult::kUnknown;
  }
  const bool anonymous = query.IsNull(0);
  const int64_t owner = query.Int(0);
  if (anonymous != !userId.has_value() || (userId && *userId != owner)) {
    return CloseResult::kUnknown;
  }
  if (!query.IsNull(3)) {
    return CloseResult::kAlreadyClosed;
  }
  const int64_t used = std::clamp<int64_t>(now - query.Int(1), 0, query.Int(2));
  // Whoever closes it first charges its time, once: the housekeeping, its owner
  // and the owner's other requests may all be closing it at the same moment, and
  // only the update that finds it still open goes on to charge.
  if (!db.Prepare("UPDATE connections SET closed_at=?1 WHERE proxy_token=?2 AND closed_at IS NULL RETURNING 1")
           .Bind(1, now)
           .Bind(2, proxyToken)
           .Step()) {
    return CloseResult::kAlreadyClosed;
  }
  if (!anonymous) {
    Charge(db, owner, used);
  }
  return CloseResult::kClosed;
}

void VpnConnections::CloseAllOf(DatabaseConnection& db, int64_t userId, int64_t now) const {
  auto open = db.Prepare("SELECT proxy_token FROM connections WHERE user_id=?1 AND closed_at IS NULL");
  open.Bind(1, userId);
  std::vector<std::string> tokens;
  while (open.Step()) {
    tokens.push_back(open.Text(0));
  }
  for (const std::string& token : tokens) {
    Close(db, token, userId, now);
  }
}

void VpnConnections::Purge(DatabaseConnection& db, int64_t now) const {
  // In one order, so two processes purging at once do not wait for each other's
  // rows in a circle.
  auto expired = db.Prepare(
      "SELECT proxy_token, user_id FROM connections WHERE closed_at IS NULL AND opened_at+budget_seconds<=?1"
      " ORDER BY proxy_token");
  expired.Bind(1, now);
  std::vector<std::pair<std::string, std::optional<int64_t>>> found;
  while (expired.Step()) {
    found.emplace_back(expired.Text(0), expired.IsNull(1) ? std::nullopt : std::optional<int64_t>(expired.Int(1)));
  }
  for (const auto& [token, owner] : found) {
    Close(db, token, owner, now);
  }
  db.Prepare("DELETE FROM connections WHERE closed_at IS NOT NULL AND closed_at<=?1")
      .Bind(1, now - kKeepClosedSeconds)
      .Run();
}

bool VpnConnections::Admits(int64_t nodeId, std::string_view user, std::string_view proxyToken) const {
  if (proxyToken.empty()) {
    return false;
  }
  std::optional<int64_t> userId;
  if (user != kAnonymousUser) {
    userId = ParseInteger(user);
    if (!userId) {
      return false;
    }
  }
  const int64_t now = clock_();
  return db_.Read([&](DatabaseConnection& db) {
    auto query = db.Prepare(
        "SELECT user_id FROM connections WHERE proxy_token=?1 AND node_id=?2 AND closed_at IS NULL"
        " AND opened_at+budget_seconds>?3");
    query.Bind(1, proxyToken).Bind(2, nodeId).Bind(3, now);
    if (!query.Step()) {
      return false;
    }
    const bool anonymous = query.IsNull(0);
    return anonymous ? !userId.has_value() : (userId && *userId == query.Int(0));
  });
}

}  // namespace tarvo::service
