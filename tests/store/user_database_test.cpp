#include "store/user_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <thread>
#include <vector>

#include "store/info_records.h"
#include "store/test_database.h"
#include "support/mounted_folder.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

using test::MountedFolder;
using test::ReadTestData;
using test::TempDir;
using test::TestDatabase;

// Loads an SQL fixture into a new database file and returns its path.
std::filesystem::path MakeDatabaseFrom(const TempDir& folder, const std::string& fixture) {
  const std::filesystem::path path = folder.path() / "kx.dat";
  UserDatabase loader;
  EXPECT_EQ(loader.OpenFile(path.string()), 0);
  EXPECT_EQ(loader.Execute(ReadTestData("store/" + fixture)), 0);
  return path;
}

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The first row of `sql`, its cells joined by '|'.
std::string FirstRow(UserDatabase& db, const std::string& sql) {
  QueryTable table;
  db.Query(sql, {}, &table);
  std::string row;
  for (size_t column = 0; column < table.columns.size(); ++column) row += (column ? "|" : "") + table.Text(0, column);
  return row;
}

// A closed database of 200 long history rows, so that it spans many pages.
void WriteLongHistory(const std::filesystem::path& path) {
  UserDatabase db;
  ASSERT_EQ(db.OpenFile(path.string()), 0);
  db.Upgrade();
  for (int i = 0; i < 200; ++i) {
    db.Execute("insert into history (url) values (?)", {std::string(300, 'a') + std::to_string(i)});
  }
}

TEST(UserDatabaseUpgrade, NewFileReachesVersionSixWithItsSeedsAndLookupIndexes) {
  TestDatabase store;
  EXPECT_EQ(store.db().GetDataVersion(), 6);
  EXPECT_EQ(store.Scalar("select count(*) from domain_type where type=2"), "361");
  EXPECT_EQ(store.Scalar("select value from info where key='search_engine'"), "baidu");
  // Engine titles are readable UTF-8 text.
  EXPECT_EQ(store.Scalar("select title from searchengine where name='sogou'"), "搜狗搜索");
  QueryTable plan;
  store.db().Query("EXPLAIN QUERY PLAN SELECT target_url FROM domainlist WHERE target_status='1' AND "
                   "source_domain=? ORDER BY ttl ASC;",
                   {"x"}, &plan);
  EXPECT_NE(plan.Text(0, 3).find("domainlist_source_domain"), std::string::npos) << plan.Text(0, 3);
}

TEST(UserDatabaseUpgrade, VersionThreeFileGetsStepsFourToSixEachInItsOwnTransaction) {
  TempDir folder;
  const auto path = MakeDatabaseFrom(folder, "version3.sql");
  UserDatabase db;
  ASSERT_EQ(db.OpenFile(path.string()), 0);
  ASSERT_EQ(db.GetDataVersion(), 3);
  std::vector<std::string> statements;
  db.SetStatementObserver([&](std::string_view sql) { statements.emplace_back(sql); });
  ASSERT_EQ(db.Upgrade(), 0);
  db.SetStatementObserver(nullptr);

  // begin; step; version; commit; three times, then the lookup indexes in one more.
  std::vector<std::string> markers;
  for (const std::string& sql : statements) {
    if (sql == "begin;" || sql == "commit;" || sql.starts_with("update info set value")) {
      markers.push_back(sql.substr(0, 6));
    } else if (sql.starts_with("create table") || sql.starts_with("delete from domain_type")) {
      ADD_FAILURE() << "an earlier step ran again: " << sql;
    }
  }
  EXPECT_EQ(markers, (std::vector<std::string>{"begin;", "update", "commit", "begin;", "update", "commit", "begin;",
                                               "update", "commit", "begin;", "commit"}));
  const auto firstBegin = std::find(statements.begin(), statements.end(), "begin;");
  ASSERT_LT(firstBegin + 1, statements.end());
  EXPECT_EQ(*(firstBegin + 1), "alter table domainlist add column ttl integer;");

  EXPECT_EQ(db.GetDataVersion(), 6);
  // Columns, seeds, the user's engine choice (sogou), history and rows all kept.
  EXPECT_EQ(FirstRow(db, "select (select count(*) from pragma_table_info('domainlist')), (select count(*) from "
                         "domain_type), (select value from info where key='search_engine'), (select count(*) from "
                         "history), (select source_url from domainlist where id='7')"),
            "21|361|sogou|1|c2l0ZQ==");
}

TEST(UserDatabaseUpgrade, VersionSixOrHigherIsNotTouched) {
  for (const char* version : {"6", "9"}) {
    TestDatabase store;
    store.db().Execute("update info set value=? where key='data_version'", {version});
    std::vector<std::string> statements;
    store.db().SetStatementObserver([&](std::string_view sql) { statements.emplace_back(sql); });
    ASSERT_EQ(store.db().Upgrade(), 0);
    for (const std::string& sql : statements) {
      EXPECT_FALSE(sql.starts_with("update") || sql.starts_with("insert") || sql.starts_with("alter") ||
                   sql.starts_with("create table"))
          << sql;
    }
    EXPECT_EQ(store.Scalar("select value from info where key='data_version'"), version);
  }
}

TEST(UserDatabaseUpgrade, FileWithoutInfoTableRunsEveryStepAndSurvivesCollisions) {
  TempDir folder;
  const auto path = MakeDatabaseFrom(folder, "no_info_table.sql");
  UserDatabase db;
  ASSERT_EQ(db.OpenFile(path.string()), 0);
  EXPECT_EQ(db.GetDataVersion(), 0);
  ASSERT_EQ(db.Upgrade(), 0);
  EXPECT_EQ(db.GetDataVersion(), 6);
  // Step 1's insert of ten hosts collides with the row already there and fails
  // whole; step 6 adds its 351 (352 in domain_type).
  EXPECT_EQ(FirstRow(db, "select (select count(*) from searchtext), (select count(*) from domain_type), (select "
                         "count(*) from searchengine), (select count(*) from sqlite_master where name='history')"),
            "1|352|4|1");
}

TEST(UserDatabaseUpgrade, ForeignSchemaUpgradesCleanlyAndLosesNothing) {
  TempDir folder;
  const auto path = MakeDatabaseFrom(folder, "other_schema.sql");
  UserDatabase db;
  ASSERT_EQ(db.OpenFile(path.string()), 0);
  EXPECT_EQ(db.GetDataVersion(), 0);  // info has no value column
  EXPECT_EQ(db.Upgrade(), 0);
  EXPECT_EQ(db.GetDataVersion(), 0);  // the version cannot be recorded in that table
  EXPECT_EQ(FirstRow(db, "select (select content from info where name='owner'), (select label from searchengine), "
                         "(select type from domain_type where domain='www.icbc.com.cn')"),
            "someone else|not ours|5");
}

TEST(UserDatabaseOpen, TextFileFailsAndStaysUntouched) {
  TempDir folder;
  const std::string text = ReadTestData("store/not_a_database.txt");
  const auto path = folder.WriteFile("kx.dat", text);
  UserDatabase db;
  EXPECT_EQ(db.OpenFile(path.string()), -1);
  EXPECT_FALSE(db.IsOpen());
  EXPECT_NE(db.OpenError().find("kx.dat"), std::string::npos) << db.OpenError();
  EXPECT_EQ(FileBytes(path), text);
  // Everything on the unopened object fails quietly.
  EXPECT_EQ(db.GetDataVersion(), 0);
  EXPECT_EQ(db.Upgrade(), -1);
  EXPECT_EQ(db.Execute("select 1"), -1);
  EXPECT_EQ(db.ExecReturningRowId("select 1"), -1);
  EXPECT_EQ(db.Query("select 1"), -1);
  WString value;
  EXPECT_EQ(InfoRecords(db).GetInfo(u"exit_clean", value), -1);
}

TEST(UserDatabaseOpen, ReadOnlyOpeningWritesNothing) {
  TempDir folder;
  const auto path = MakeDatabaseFrom(folder, "version3.sql");
  const std::string before = FileBytes(path);
  UserDatabase db;
  ASSERT_EQ(db.OpenFileReadOnly(path.string()), 0);
  EXPECT_EQ(db.GetDataVersion(), 3);
  EXPECT_EQ(db.Execute("insert into searchtext (searchtext) values ('x')"), -1);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(db.OpenFileReadOnly((folder.path() / "missing.dat").string()), -1);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing.dat"));
}

TEST(UserDatabaseOpen, TruncatedDatabaseFailsCleanlyOrUpgrades) {
  TempDir folder;
  WriteLongHistory(folder.path() / "whole.dat");
  const std::string whole = FileBytes(folder.path() / "whole.dat");
  ASSERT_GT(whole.size(), 16384u);
  for (const size_t length : {size_t{0}, size_t{50}, size_t{4096}, whole.size() / 2, whole.size() - 1}) {
    const auto path = folder.WriteFile("cut" + std::to_string(length) + ".dat", whole.substr(0, length));
    UserDatabase db;
    if (db.OpenFile(path.string()) != 0) {
      EXPECT_EQ(FileBytes(path), whole.substr(0, length));
      continue;
    }
    // Whatever opened must answer without crashing; a damaged page may fail a
    // statement, which is reported, never hidden.
    EXPECT_GE(db.GetDataVersion(), 0);
    EXPECT_EQ(db.Upgrade(), 0);
    EXPECT_LE(db.Query("select * from history"), 200);
  }
}

TEST(UserDatabaseOpen, DamagedPageFoundLaterKeepsACopyTellsOnceAndTheRestStaysWritable) {
  TempDir folder;
  const auto path = folder.path() / "kx.dat";
  WriteLongHistory(path);
  // One page of the history table's rows overwritten: the file still opens.
  std::string bytes = FileBytes(path);
  constexpr size_t kPage = 4096;
  ASSERT_GT(bytes.size(), 8 * kPage);
  const size_t damaged = (bytes.size() / kPage - 2) * kPage;
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(damaged), kPage, '\xa5');
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

  UserDatabase db;
  std::vector<std::string> copies;
  db.SetDamageListener([&](const std::string& copy) { copies.push_back(copy); });
  ASSERT_EQ(db.OpenFile(path.string()), 0);
  EXPECT_EQ(db.Query("select * from history"), -1);
  EXPECT_EQ(db.Query("select count(*) from history"), -1);
  ASSERT_EQ(copies.size(), 1u) << "told once";
  EXPECT_TRUE(db.IsDamaged());
  EXPECT_EQ(FileBytes(copies[0]), bytes) << "the copy is the file as it was found";
  EXPECT_EQ(db.Execute("insert into info (key, value) values ('after', 'damage')"), 0);
  EXPECT_EQ(FirstRow(db, "select value from info where key = 'after'"), "damage");
}

TEST(UserDatabaseOpen, AFileThatCannotBeWrittenIsToldAtOnceAndWhatWasThereStaysReadable) {
  using Failure = UserDatabase::SaveFailure;
  // A read-only file is found as read-only media is: the connection opens read-only.
  for (const bool held : {true, false}) {
    SCOPED_TRACE(held ? "held by another program" : "read-only media");
    TempDir folder;
    // Bytes that mean something in an address are only a name here.
    const auto profile = folder.path() / "profile ü %41?#";
    std::filesystem::create_directories(profile);
    const auto path = profile / "kx.dat";
    {
      // Closed, so no write-ahead log is left beside it: media that refuse writing
      // also refuse making one.
      UserDatabase first;
      ASSERT_EQ(first.OpenFile(path.string()), 0);
      first.Upgrade();
      ASSERT_EQ(first.Execute("insert into searchtext (searchtext) values ('kept')"), 0);
    }
    UserDatabase holder;  // another program's connection, in the middle of a write
    std::unique_ptr<MountedFolder> readOnlyMedia;
    if (held) {
      ASSERT_EQ(holder.OpenFile(path.string()), 0);
      ASSERT_EQ(holder.Execute("BEGIN EXCLUSIVE; insert into searchtext (searchtext) values ('theirs')"), 0);
    } else if (!(readOnlyMedia = MountedFolder::ReadOnly(profile))) {
      std::cout << "skipped: read-only media need mounting, which only root may do\n";
      continue;
    }
    UserDatabase db;
    std::vector<Failure> told;
    db.SetSaveFailureListener([&](Failure failure) { told.push_back(failure); });
    ASSERT_EQ(db.OpenFile(path.string()), 0) << db.OpenError();
    const Failure expected = held ? Failure::kHeldElsewhere : Failure::kReadOnly;
    EXPECT_EQ(told, std::vector<Failure>{expected}) << "told on opening, before anything is lost";
    EXPECT_EQ(db.Execute("insert into searchtext (searchtext) values ('lost')"), -1);
    EXPECT_EQ(told.size(), 1u) << "told once";
    EXPECT_EQ(FirstRow(db, "select searchtext from searchtext where searchtext = 'kept'"), "kept");
    if (held) {
      ASSERT_EQ(holder.Execute("COMMIT"), 0);
      EXPECT_EQ(db.Execute("insert into searchtext (searchtext) values ('saved again')"), 0);
    }
  }
}

TEST(UserDatabaseStatements, ValuesAreBoundNeverSpliced) {
  TestDatabase store;
  const std::string hostile = "x'); drop table info; --%s\\\n\"ü";
  EXPECT_EQ(store.db().ExecReturningRowId("insert into history (url) values (?)", {hostile}), 1);
  EXPECT_EQ(store.Scalar("select url from history where id=1"), hostile);
  EXPECT_EQ(store.db().GetDataVersion(), 6);
  // A statement that does not compile is a failure, and so is a missing value.
  EXPECT_EQ(store.db().Execute("insert into nowhere values (1)"), -1);
  EXPECT_EQ(store.db().Execute("insert into history (url) values (?)"), -1);
  EXPECT_EQ(store.db().Query("select * from history where url=?", {hostile}), 1);
}

TEST(UserDatabaseStatements, FailedTransactionWorkRollsBack) {
  TestDatabase store;
  UserDatabase& db = store.db();
  EXPECT_EQ(db.RunInTransaction([&] {
    db.Execute("insert into searchtext (searchtext) values ('gone')");
    return false;
  }),
            -1);
  EXPECT_EQ(store.Scalar("select count(*) from searchtext"), "0");
  // Nested work joins the outer transaction.
  EXPECT_EQ(db.RunInTransaction([&] {
    return db.RunInTransaction([&] { return db.Execute("insert into searchtext (searchtext) values ('kept')") == 0; }) ==
           0;
  }),
            0);
  EXPECT_EQ(store.Scalar("select count(*) from searchtext"), "1");
}

TEST(UserDatabaseThreads, OneConnectionServesManyThreadsAtOnce) {
  TestDatabase store;
  UserDatabase& db = store.db();
  constexpr int kThreads = 6;
  constexpr int kRowsPerThread = 100;
  std::vector<std::vector<int64_t>> ids(kThreads);
  std::atomic<int> failures = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      InfoRecords info(db);
      for (int i = 0; i < kRowsPerThread; ++i) {
        const int64_t id = db.ExecReturningRowId("insert into history (url, realurl) values (?, ?)",
                                                 {std::to_string(t), std::to_string(i)});
        ids[static_cast<size_t>(t)].push_back(id);
        // Every thread races to create and update the same keys.
        if (info.SetInfo(u"shared_key", Utf8ToWide(std::to_string(i))) != 0) ++failures;
        WString value;
        if (info.GetInfo(u"shared_key", value) != 0 || db.GetDataVersion() != 6) ++failures;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  std::set<int64_t> unique;
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kRowsPerThread; ++i) {
      const int64_t id = ids[static_cast<size_t>(t)][static_cast<size_t>(i)];
      // The row id returned is the caller's own row, never another thread's.
      EXPECT_EQ(FirstRow(db, "select url, realurl from history where id=" + std::to_string(id)),
                std::to_string(t) + "|" + std::to_string(i));
      unique.insert(id);
    }
  }
  EXPECT_EQ(unique.size(), static_cast<size_t>(kThreads * kRowsPerThread));
  EXPECT_EQ(store.Scalar("select count(*) from info where key='shared_key'"), "1");
}

TEST(UserDatabaseThreads, SecondConnectionWaitsForTheLockInsteadOfFailing) {
  TestDatabase store;
  UserDatabase other;
  ASSERT_EQ(other.OpenFile(store.path().string()), 0);
  std::atomic<bool> writerStarted = false;
  std::thread holder;
  ASSERT_EQ(store.db().RunInTransaction([&] {
    store.db().Execute("insert into searchtext (searchtext) values ('first')");
    holder = std::thread([&] {
      writerStarted = true;
      // Blocks on the file lock until the transaction below commits.
      EXPECT_EQ(other.Execute("insert into searchtext (searchtext) values ('second')"), 0);
    });
    while (!writerStarted) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return true;
  }),
            0);
  holder.join();
  EXPECT_EQ(store.Scalar("select count(*) from searchtext"), "2");
}

}  // namespace
}  // namespace tarvo
