#pragma once

#include <string>
#include <string_view>

namespace tarvo::service {

// Every difference between the SQL of the two stores, in one place. The service's
// statements are written once, in the SQL both engines accept, with parameters
// numbered "?1", "?2" ...; the schema marks the few column types that differ with
// "{key}", "{serial}" and "{nocase}". A value object.
class SqlDialect {
 public:
  enum class Engine { kSqlite, kPostgresql };

  explicit SqlDialect(Engine engine) : engine_(engine) {}

  Engine engine() const { return engine_; }

  // `sql` as this engine takes it: PostgreSQL numbers parameters "$1", "$2" ...
  // Quoted text is left alone.
  std::string Statement(std::string_view sql) const;
  // How many parameters `sql` (in the service's spelling) takes: its highest number.
  static int ParameterCount(std::string_view sql);

  // `ddl` with the marked column types spelled for this engine.
  std::string Schema(std::string_view ddl) const;

  // What begins a writing transaction. SQLite has one writer at a time; on
  // PostgreSQL writers run side by side, each taking the locks of the keys it
  // reads and changes (KeyLock, through WriteLocks), so a read-modify-write
  // (favourites, allowances, counters) never loses a concurrent one of the same
  // key from another process.
  std::string_view BeginWrite() const;
  // What begins a transaction that must be the only writer, in every process: one
  // that rewrites tables as a whole (the schema, a re-seed).
  std::string_view BeginAlone() const;
  // A statement with parameter ?1 (a 32-bit number) that takes the number's lock
  // until the transaction ends; empty for SQLite, whose writers never overlap.
  std::string_view KeyLock() const;
  // What begins a transaction that only adds rows: on PostgreSQL it does not wait
  // for other writers (SQLite has one writer at a time whatever the work).
  std::string_view BeginAppend() const;

  // A statement with parameters ?1 (table) and ?2 (column) giving a row when the
  // column exists.
  std::string_view ColumnExists() const;

  // Statements run before the schema (PostgreSQL: the collation that compares
  // user names without regard to case).
  std::string_view Prelude() const;

 private:
  Engine engine_;
};

}  // namespace tarvo::service
