#include "sqlite_connection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "service_error.h"
#include "sqlite_statement.h"

namespace tarvo::service {

SqliteConnection::SqliteConnection(const std::string& path) {
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
  // The file itself, never where a symbolic link points: a link planted where the
  // service keeps its data would have it write its tables over another file. Its
  // folder may be a link (systemd's state folders are), so SQLite, which refuses a
  // link anywhere in the path, is given the folder's real path.
  std::filesystem::path real = std::filesystem::path(path);
  if (const auto canonical = std::filesystem::canonical(folder.empty() ? "." : folder, error); !error) {
    real = canonical / real.filename();
  }
  const int fd = ::open(real.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0 && errno == ELOOP) {
    throw ServiceError("the database " + path +
                       " is a symbolic link; the service opens only the file itself: give the path of the file");
  }
  if (fd < 0 || ::fchmod(fd, 0600) != 0) {
    const std::string reason = std::strerror(errno);
    if (fd >= 0) {
      ::close(fd);
    }
    throw ServiceError("cannot open the database " + path + ": " + reason);
  }
  ::close(fd);
  if (sqlite3_open_v2(real.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_NOFOLLOW,
                      nullptr) != SQLITE_OK) {
    const std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw ServiceError("cannot open the database " + path + ": " + reason);
  }
  sqlite3_busy_timeout(db_, 5000);
  std::string damage;
  try {
    Execute("PRAGMA journal_mode=WAL");
    // A killed process loses nothing that was committed; only a power cut could.
    Execute("PRAGMA synchronous=NORMAL");
    Execute("PRAGMA foreign_keys=ON");
    damage = Damage();
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

std::string SqliteConnection::Damage() {
  // A damaged page would otherwise be met by some request much later, failing that
  // request alone; checked once here, every later answer can be trusted.
  auto check = Prepare("PRAGMA quick_check(1)");
  const std::string finding = check.Step() ? check.Text(0) : std::string("no answer to the check");
  return finding == "ok" ? std::string() : finding;
}

SqliteConnection::~SqliteConnection() {
  kept_.clear();
  sqlite3_close(db_);
}

DatabaseStatement SqliteConnection::Prepare(std::string_view sql) {
  std::unique_ptr<tarvo::SqliteStatement> compiled;
  if (const auto kept = kept_.find(sql); kept != kept_.end()) {
    compiled = std::move(kept->second);
    kept_.erase(kept);
  } else {
    compiled = std::make_unique<tarvo::SqliteStatement>(db_, sql);
  }
  // A statement that did not compile is thrown away by the statement, never kept.
  return DatabaseStatement(std::make_unique<SqliteStatement>(
      db_, std::move(compiled), [this, key = std::string(sql)](std::unique_ptr<tarvo::SqliteStatement> done) {
        if (kept_.size() < kMaxKept) {
          kept_.try_emplace(key, std::move(done));
        }
      }));
}

void SqliteConnection::Execute(std::string_view sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string reason = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw ServiceError("database error: " + reason);
  }
}

void SqliteConnection::RollbackQuietly() noexcept {
  if (sqlite3_get_autocommit(db_) == 0) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

}  // namespace tarvo::service
