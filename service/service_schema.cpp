#include "service_schema.h"

#include <string>

#include "database_connection.h"
#include "service_error.h"

namespace tarvo::service {

namespace {

// Version 1. Sites keep their seed fingerprint and modification time, so a
// re-seeded list can be handed out as inserts, updates and deletions since a
// client's last sync.
constexpr std::string_view kTables = R"SQL(
CREATE TABLE IF NOT EXISTS settings(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS brands(
  name TEXT PRIMARY KEY, anonymous_vpn BIGINT NOT NULL, anonymous_seconds BIGINT NOT NULL,
  signup_vpn_seconds BIGINT NOT NULL,
  default_favorites TEXT NOT NULL, version TEXT NOT NULL, installer_path TEXT NOT NULL,
  installer_name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS users(
  id {serial}, username TEXT NOT NULL UNIQUE {nocase},
  brand TEXT NOT NULL, password TEXT NOT NULL, name TEXT NOT NULL, sex BIGINT NOT NULL,
  status BIGINT NOT NULL, profile_photo TEXT NOT NULL, user_group TEXT NOT NULL,
  select_permission BIGINT NOT NULL, vpn_allowed BIGINT NOT NULL, vpn_seconds BIGINT NOT NULL,
  favorites TEXT NOT NULL, next_favorite_id BIGINT NOT NULL, created_at BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS tokens(
  token TEXT PRIMARY KEY, user_id BIGINT NOT NULL, expires_at BIGINT NOT NULL);
CREATE INDEX IF NOT EXISTS tokens_by_user ON tokens(user_id);
CREATE TABLE IF NOT EXISTS nodes(
  id {key}, position BIGINT NOT NULL, country_id BIGINT NOT NULL,
  country TEXT NOT NULL, area TEXT NOT NULL, ip TEXT NOT NULL, port BIGINT NOT NULL,
  status BIGINT NOT NULL, anonymous BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS connections(
  proxy_token TEXT PRIMARY KEY, node_id BIGINT NOT NULL, user_id BIGINT, brand TEXT NOT NULL,
  opened_at BIGINT NOT NULL, budget_seconds BIGINT NOT NULL, closed_at BIGINT);
CREATE TABLE IF NOT EXISTS white_list(
  brand TEXT NOT NULL, position BIGINT NOT NULL, domain TEXT NOT NULL, PRIMARY KEY(brand, position));
CREATE TABLE IF NOT EXISTS sites(
  id {key}, source_id BIGINT NOT NULL, source_status BIGINT NOT NULL,
  source_url TEXT NOT NULL, target_id BIGINT NOT NULL, target_status BIGINT NOT NULL,
  target_url TEXT NOT NULL, mirror_address TEXT NOT NULL, mirror_page TEXT NOT NULL,
  is_auth BIGINT NOT NULL, is_sign BIGINT NOT NULL, is_ensure BIGINT NOT NULL,
  auth_icons TEXT NOT NULL, sign_grade TEXT NOT NULL, sign_grade_en TEXT NOT NULL,
  sign_code TEXT NOT NULL, sign_desc TEXT NOT NULL, sign_desc_en TEXT NOT NULL,
  ensure TEXT NOT NULL, ensure_en TEXT NOT NULL, fingerprint TEXT NOT NULL,
  created_at BIGINT NOT NULL, modified_at BIGINT NOT NULL, deleted BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS pages(host TEXT PRIMARY KEY, file_path TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS icons(name TEXT PRIMARY KEY, file_path TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS launches(
  id {serial}, brand TEXT NOT NULL, platform TEXT NOT NULL,
  client_version TEXT NOT NULL, remote_address TEXT NOT NULL, at BIGINT NOT NULL);
)SQL";

// Version 3: the counts of the attempt limiters, shared by every process.
constexpr std::string_view kAttempts = R"SQL(
CREATE TABLE IF NOT EXISTS attempts(
  scope TEXT NOT NULL, key TEXT NOT NULL, started_at BIGINT NOT NULL, count BIGINT NOT NULL,
  PRIMARY KEY(scope, key));
CREATE INDEX IF NOT EXISTS attempts_by_start ON attempts(scope, started_at);
)SQL";

bool HasColumn(DatabaseConnection& db, std::string_view table, std::string_view column) {
  return db.Prepare(db.dialect().ColumnExists()).Bind(1, table).Bind(2, column).Step();
}

int64_t StoredVersion(DatabaseConnection& db) {
  auto query = db.Prepare("SELECT value FROM settings WHERE key='schema_version'");
  return query.Step() ? std::stoll(query.Text(0)) : 0;
}

}  // namespace

void ServiceSchema::Apply(DatabaseConnection& db) {
  const SqlDialect& dialect = db.dialect();
  if (!dialect.Prelude().empty()) {
    db.Execute(dialect.Prelude());
  }
  db.Execute(dialect.Schema(kTables));
  // Every step is safe to run again, so a database from before versions were kept
  // (version 0) simply takes them all.
  const int64_t version = StoredVersion(db);
  if (version > kVersion) {
    throw ServiceError("the database was made by a newer tarvo-service (schema version " + std::to_string(version) +
                       "; this one knows " + std::to_string(kVersion) +
                       "): run the newer service, or restore a backup made for this one");
  }
  if (version < 2) {
    // Connections record the client that opened them; older ones get it empty.
    if (!HasColumn(db, "connections", "client")) {
      db.Execute("ALTER TABLE connections ADD COLUMN client TEXT NOT NULL DEFAULT ''");
    }
    db.Execute("CREATE INDEX IF NOT EXISTS connections_by_client ON connections(client)");
  }
  if (version < 3) {
    db.Execute(dialect.Schema(kAttempts));
  }
  if (version < 4 && !HasColumn(db, "brands", "released_at")) {
    // When each brand's current release was published: the time its signed
    // announcement says it was issued. Releases from before are dated 0.
    db.Execute("ALTER TABLE brands ADD COLUMN released_at BIGINT NOT NULL DEFAULT 0");
  }
  if (version < kVersion) {
    db.Prepare("DELETE FROM settings WHERE key='schema_version'").Run();
    db.Prepare("INSERT INTO settings(key, value) VALUES('schema_version', ?1)")
        .Bind(1, std::to_string(kVersion))
        .Run();
  }
}

}  // namespace tarvo::service
