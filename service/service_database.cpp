#include "service_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <filesystem>

#include "service_error.h"

namespace tarvo::service {

namespace {

// Sites keep their seed fingerprint and modification time, so a re-seeded list can
// be handed out as inserts, updates and deletions since a client's last sync.
constexpr std::string_view kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS settings(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS brands(
  name TEXT PRIMARY KEY, anonymous_vpn INTEGER NOT NULL, anonymous_seconds INTEGER NOT NULL,
  signup_vpn_seconds INTEGER NOT NULL,
  default_favorites TEXT NOT NULL, version TEXT NOT NULL, installer_path TEXT NOT NULL,
  installer_name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS users(
  id INTEGER PRIMARY KEY AUTOINCREMENT, username TEXT NOT NULL UNIQUE COLLATE NOCASE,
  brand TEXT NOT NULL, password TEXT NOT NULL, name TEXT NOT NULL, sex INTEGER NOT NULL,
  status INTEGER NOT NULL, profile_photo TEXT NOT NULL, user_group TEXT NOT NULL,
  select_permission INTEGER NOT NULL, vpn_allowed INTEGER NOT NULL, vpn_seconds INTEGER NOT NULL,
  favorites TEXT NOT NULL, next_favorite_id INTEGER NOT NULL, created_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS tokens(
  token TEXT PRIMARY KEY, user_id INTEGER NOT NULL, expires_at INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS tokens_by_user ON tokens(user_id);
CREATE TABLE IF NOT EXISTS nodes(
  id INTEGER PRIMARY KEY, position INTEGER NOT NULL, country_id INTEGER NOT NULL,
  country TEXT NOT NULL, area TEXT NOT NULL, ip TEXT NOT NULL, port INTEGER NOT NULL,
  status INTEGER NOT NULL, anonymous INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS connections(
  proxy_token TEXT PRIMARY KEY, node_id INTEGER NOT NULL, user_id INTEGER, brand TEXT NOT NULL,
  opened_at INTEGER NOT NULL, budget_seconds INTEGER NOT NULL, closed_at INTEGER);
CREATE TABLE IF NOT EXISTS white_list(
  brand TEXT NOT NULL, position INTEGER NOT NULL, domain TEXT NOT NULL, PRIMARY KEY(brand, position));
CREATE TABLE IF NOT EXISTS sites(
  id INTEGER PRIMARY KEY, source_id INTEGER NOT NULL, source_status INTEGER NOT NULL,
  source_url TEXT NOT NULL, target_id INTEGER NOT NULL, target_status INTEGER NOT NULL,
  target_url TEXT NOT NULL, mirror_address TEXT NOT NULL, mirror_page TEXT NOT NULL,
  is_auth INTEGER NOT NULL, is_sign INTEGER NOT NULL, is_ensure INTEGER NOT NULL,
  auth_icons TEXT NOT NULL, sign_grade TEXT NOT NULL, sign_grade_en TEXT NOT NULL,
  sign_code TEXT NOT NULL, sign_desc TEXT NOT NULL, sign_desc_en TEXT NOT NULL,
  ensure TEXT NOT NULL, ensure_en TEXT NOT NULL, fingerprint TEXT NOT NULL,
  created_at INTEGER NOT NULL, modified_at INTEGER NOT NULL, deleted INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS pages(host TEXT PRIMARY KEY, file_path TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS icons(name TEXT PRIMARY KEY, file_path TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS launches(
  id INTEGER PRIMARY KEY AUTOINCREMENT, brand TEXT NOT NULL, platform TEXT NOT NULL,
  client_version TEXT NOT NULL, remote_address TEXT NOT NULL, at INTEGER NOT NULL);
)SQL";

}  // namespace

ServiceDatabase::ServiceDatabase(const std::string& path) {
  // The file holds password hashes and live tokens: only its owner may read it,
  // in a folder only its owner may list when the service makes that folder.
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code error;
  if (!folder.empty() && !std::filesystem::exists(folder, error)) {
    std::filesystem::create_directories(folder, error);
    if (!error) {
      std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    }
    if (error) {
      throw ServiceError("cannot create the folder " + folder.string() + ": " + error.message());
    }
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0 || ::fchmod(fd, 0600) != 0) {
    const std::string reason = std::strerror(errno);
    if (fd >= 0) {
      ::close(fd);
    }
    throw ServiceError("cannot open the database " + path + ": " + reason);
  }
  ::close(fd);
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    const std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw ServiceError("cannot open the database " + path + ": " + reason);
  }
  sqlite3_busy_timeout(db_, 5000);
  std::string damage;
  try {
    std::lock_guard lock(mutex_);
    Execute("PRAGMA journal_mode=WAL");
    // A killed process loses nothing that was committed; only a power cut could.
    Execute("PRAGMA synchronous=NORMAL");
    Execute("PRAGMA foreign_keys=ON");
    damage = Damage();
    if (damage.empty()) {
      CreateSchema();
    }
  } catch (const ServiceError&) {
    const int code = sqlite3_errcode(db_);
    if (code != SQLITE_CORRUPT && code != SQLITE_NOTADB) {
      sqlite3_close(db_);
      throw;
    }
    damage = sqlite3_errmsg(db_);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
  if (!damage.empty()) {
    sqlite3_close(db_);
    throw ServiceError("the database " + path + " is damaged (" + damage +
                       "); the service does not start on it: restore a copy, or move it aside to start with an "
                       "empty one");
  }
}

std::string ServiceDatabase::Damage() {
  // A damaged page would otherwise be met by some request much later, failing that
  // request alone; checked once here, every later answer can be trusted.
  auto check = Prepare("PRAGMA quick_check(1)");
  const std::string finding = check.Step() ? check.Text(0) : std::string("no answer to the check");
  return finding == "ok" ? std::string() : finding;
}

ServiceDatabase::~ServiceDatabase() { sqlite3_close(db_); }

SqliteStatement ServiceDatabase::Prepare(std::string_view sql) { return SqliteStatement(db_, sql); }

void ServiceDatabase::Execute(std::string_view sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string reason = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw ServiceError("database error: " + reason);
  }
}

int64_t ServiceDatabase::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int ServiceDatabase::Changes() const { return sqlite3_changes(db_); }

void ServiceDatabase::CreateSchema() { Execute(kSchema); }

void ServiceDatabase::RollbackQuietly() noexcept {
  if (sqlite3_get_autocommit(db_) == 0) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

}  // namespace tarvo::service
