#include "store/schema_steps.h"

#include <span>

#include "store/seed_hosts.h"

namespace tarvo {

namespace {

// "insert into domain_type (domain, type) values (?, 2),(?, 2),..." with one bound
// host per row: one statement, as designed, whatever the hosts contain.
SchemaStatement InsertBankHosts(std::span<const std::string_view> hosts) {
  SchemaStatement insert{"insert into domain_type (domain, type) values ", {}};
  for (size_t i = 0; i < hosts.size(); ++i) {
    insert.sql += i == 0 ? "(?, 2)" : ",(?, 2)";
    insert.args.emplace_back(hosts[i]);
  }
  insert.sql += ";";
  return insert;
}

SchemaStatement InsertSearchEngines() {
  SchemaStatement insert{
      "insert into searchengine (name, prefix, suffix, title, miniico, normalico) values "
      "(?, ?, '', ?, ?, ?),(?, ?, '', ?, ?, ?),(?, ?, '', ?, ?, ?),(?, ?, '', ?, ?, ?);",
      {}};
  // Titles are stored as UTF-8 like every other text of the database.
  const char* engines[][5] = {
      {"baidu", "https://www.baidu.com/s?wd=", "百度搜索", "Toolbar\\baidu_22px.png", "Dialog\\baidu_50px.png"},
      {"so", "https://www.so.com/s?q=", "360搜索", "Toolbar\\360_22px.png", "Dialog\\360_50px.png"},
      {"sogou", "https://www.sogou.com/web?query=", "搜狗搜索", "Toolbar\\sogou_22px.png", "Dialog\\sogou_50px.png"},
      {"google", "https://www.google.com/search?&q=", "谷歌搜索", "Toolbar\\google_22px.png",
       "Dialog\\google_50px.png"},
  };
  for (const auto& engine : engines) {
    for (const char* value : engine) {
      insert.args.emplace_back(value);
    }
  }
  return insert;
}

std::vector<SchemaStatement> BaseSchema() {
  return {
      {"create table info (key varchar(128), value varchar(256));", {}},
      {"insert into info (key, value) values ('data_version', '1'),('search_engine', 'baidu'),('exit_clean', '0');",
       {}},
      {"create table searchtext (searchtext varchar(256) PRIMARY KEY, created_at integer, updated_at integer);", {}},
      {"create table searchengine (name varchar(256) PRIMARY KEY, prefix varchar(256), suffix varchar(256), "
       "title varchar(256), miniico varchar(256), normalico varchar(256));",
       {}},
      InsertSearchEngines(),
      {"create table favority (id integer PRIMARY KEY AUTOINCREMENT, url varchar(256), title varchar(256), "
       "icon varchar(256), icondata blob, parent_id integer, is_folder integer, created_at integer, "
       "updated_at integer);",
       {}},
      {"create table download (fileurl text PRIMARY KEY, filename text, filepath text, icon text, icondata blob, "
       "received integer, total integer, status integer, created_at integer, updated_at integer);",
       {}},
      {"create table picture (id varchar(256) PRIMARY KEY, url varchar(256), filebin blob, created_at integer);", {}},
      {"create table domainpic (url varchar(256) PRIMARY KEY, id varchar(256), created_at integer);", {}},
      {"create table domain_type (domain varchar(128), type integer, created_at integer, updated_at integer, "
       "primary key(domain));",
       {}},
      InsertBankHosts(kLargeBankHosts),
      {"create table nodelist (nodeid varchar(256), ip varchar(64), country_id varchar(256), country varchar(256), "
       "area varchar(256), port varchar(64), status varchar(64), created_at integer, updated_at integer, "
       "primary key(nodeid));",
       {}},
  };
}

std::vector<SchemaStatement> HistoryAndProtectedDomains() {
  return {
      {"create table history (id integer PRIMARY KEY AUTOINCREMENT, url varchar(1024), realurl varchar(1024), "
       "is_map integer, title varchar(256), icon varchar(256), icondata blob, parent_id integer, "
       "created_at integer, updated_at integer);",
       {}},
      {"create table domainlist (id varchar(128) PRIMARY KEY, source_id varchar(128), source_status varchar(32), "
       "source_url varchar(256), source_domain varchar(256), target_id varchar(128), target_status varchar(32), "
       "target_url varchar(256), target_domain varchar(256));",
       {}},
      {"insert into info (key, value) values('domainlist_latesttime', '0');", {}},
      {"insert into info (key, value) values('domainlist_enable', '1');", {}},
  };
}

std::vector<SchemaStatement> CertificationColumns() {
  const char* columns[] = {"is_auth integer",        "is_sign integer",         "is_guar integer",
                           "auth_icon_urls text",    "sign_grade varchar(64)",  "sign_grade_en varchar(64)",
                           "sign_code varchar(64)",  "sign_desc text",          "sign_desc_en text",
                           "guar_data varchar(128)", "guar_data_en varchar(128)"};
  std::vector<SchemaStatement> statements;
  for (const char* column : columns) {
    statements.push_back({std::string("alter table domainlist add column ") + column + ";", {}});
  }
  return statements;
}

}  // namespace

std::vector<SchemaStatement> SchemaStepStatements(int version) {
  switch (version) {
    case 1:
      return BaseSchema();
    case 2:
      return HistoryAndProtectedDomains();
    case 3:
      return {{"delete from domain_type where domain=?;", {std::string(kRetiredTestHost)}}};
    case 4:
      return {{"alter table domainlist add column ttl integer;", {}}};
    case 5:
      return CertificationColumns();
    case 6:
      return {InsertBankHosts(kMerchantsBankHosts), InsertBankHosts(kBankServiceHosts)};
    default:
      return {};
  }
}

std::vector<std::string> LookupIndexStatements() {
  return {
      // Favourites changes not yet confirmed by the service. Made here rather than in a
      // numbered step: a file written before it simply starts with an empty list, and
      // an older browser that opens the file is not told it is too new.
      "CREATE TABLE IF NOT EXISTS favorite_journal (seq integer PRIMARY KEY AUTOINCREMENT, user_id text NOT NULL, "
      "kind text NOT NULL, item_id text NOT NULL, folder_id text NOT NULL, data text NOT NULL, created_at integer);",
      "CREATE INDEX IF NOT EXISTS favorite_journal_user ON favorite_journal (user_id, seq);",
      "CREATE INDEX IF NOT EXISTS domainlist_source_url ON domainlist (source_url);",
      "CREATE INDEX IF NOT EXISTS domainlist_source_domain ON domainlist (source_domain);",
      "CREATE INDEX IF NOT EXISTS domainlist_target_url ON domainlist (target_url);",
      "CREATE INDEX IF NOT EXISTS domainlist_target_domain ON domainlist (target_domain);",
  };
}

}  // namespace tarvo
