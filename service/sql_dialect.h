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

  // What begins a writing transaction. Writers are serialised, as SQLite does it
  // with its write lock: on PostgreSQL a lock every process of the service takes,
  // so a read-modify-write (favourites, allowances, counters) never loses a
  // concurrent one from another process.
  std::string_view BeginWrite() const;
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
