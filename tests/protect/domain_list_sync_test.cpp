#include "protect/domain_list_sync.h"

#include <json/json.h>

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/loopback_http_server.h"
#include "protect/domain_list.h"
#include "protect/protected_sites.h"
#include "net/signing_key.h"
#include "net/statement_text.h"
#include "store/info_records.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

using test::LoopbackHttpServer;
using test::ReceivedRequest;
using test::Cipher;
using test::ScriptedReply;

Json::Value Entry(int id, const std::string& source, const std::string& target, int action = 1) {
  Json::Value entry;
  Json::Reader().parse(R"({"source_status": 1, "target_status": 1, "isauth": 1, "issign": 0, "isensure": 7,
                           "signgrade": "A+", "signdesc": "签名 'quoted' 100%", "ensure_en": "Guaranteed"})",
                       entry);
  entry["id"] = id;
  entry["source_id"] = 100 + id;
  entry["source_url"] = Cipher(source);
  entry["target_id"] = 200 + id;
  entry["target_url"] = Cipher(target);
  entry["action"] = action;
  return entry;
}

std::string Envelope(int code, const Json::Value& data) {
  Json::Value reply;
  reply["code"] = code;
  reply["message"] = code == 200 ? "ok" : "refused";
  reply["data"] = data;
  return Json::writeString(Json::StreamWriterBuilder(), reply);
}

// The brand's key in these tests.
const SigningKey& BrandKey() {
  static const SigningKey key = *SigningKey::Generate();
  return key;
}

// A mirror map signed by the brand (statement 2): the changes after `latestTime`
// (0: the whole list), the newest of them at `maxTime`.
Json::Value SignedList(const Json::Value& entries, int64_t maxTime = 1700000000, int64_t latestTime = 0) {
  Json::Value data;
  data["max_time"] = Json::Int64(maxTime);
  data["latest_time"] = Json::Int64(latestTime);
  data["issued_at"] = Json::Int64(maxTime + 5);
  data["domain_list"] = entries;
  data["signature2"] = BrandKey().Sign(DomainListSync::MirrorMapText(data));
  return data;
}

std::string ListReply(const Json::Value& entries, int64_t maxTime = 1700000000, int64_t latestTime = 0) {
  return Envelope(200, SignedList(entries, maxTime, latestTime));
}

class DomainListSyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"tarvo://");
    SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TarvoBrowser");
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, server_.WideUrl("/"));
  }

  // Serves `body` as the next reply to every request.
  void Serve(std::string body) {
    std::lock_guard lock(mutex_);
    reply_ = std::move(body);
  }
  std::string Plain(const std::string& column, const std::string& id) {
    std::string plain;
    PayloadCipher().DecryptText(store_.Scalar("select " + column + " from domainlist where id='" + id + "'"), plain);
    return plain;
  }

  std::mutex mutex_;
  std::string reply_;
  LoopbackHttpServer server_{[this](const ReceivedRequest&) {
    std::lock_guard lock(mutex_);
    return LoopbackHttpServer::Ok(reply_);
  }};
  test::TestDatabase store_;
  DomainListSync sync_{store_.db(), TrustedKeys::Parse(BrandKey().PublicKeyHex())};
  DomainList list_{store_.db()};
};

TEST_F(DomainListSyncTest, FullDownloadReplacesTheListAndRecordsMaxTime) {
  ASSERT_EQ(test::ProtectedSites(store_.db()).Add({"99", "https://stale.example/", "http://127.0.0.9/"}), 0);
  Json::Value entries(Json::arrayValue);
  Json::Value first = Entry(1, "https://bank.example.cn/", "http://127.0.0.1:9001/");
  for (const char* icon : {"a", "b", "c"}) first["authicon"].append("http://icons.example/" + std::string(icon) + ".png");
  entries.append(first);
  entries.append(Entry(2, "https://pay.example.cn/login", "http://127.0.0.2/"));
  entries.append(Entry(5, DomainListSync::kUserCenterMarker, "http://127.0.0.5/"));
  Serve(ListReply(entries));

  ASSERT_EQ(sync_.SyncDomainList(), 0);

  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/app/v1.0/domain_list");
  EXPECT_EQ(requests[0].body, "latest_time=0&platform=3&client_version=0&brand=TarvoBrowser");
  EXPECT_EQ(store_.Scalar("select group_concat(id) from (select id from domainlist order by id)"), "1,2,5");
  EXPECT_EQ(store_.Scalar("select value from info where key='domainlist_latesttime'"), "1700000000");
  EXPECT_EQ(store_.Scalar("select auth_icon_urls || '|' || is_auth || is_sign || is_guar || '|' || sign_desc "
                          "from domainlist where id='1'"),
            "http://icons.example/a.png,http://icons.example/b.png,http://icons.example/c.png|101|签名 'quoted' 100%");
  EXPECT_EQ(store_.Scalar("select source_id from domainlist where id='2'"), "102");
  EXPECT_EQ(Plain("source_domain", "2"), "pay.example.cn");
  EXPECT_EQ(Plain("target_domain", "2"), "127.0.0.2");
  EXPECT_EQ(store_.Scalar("select source_url from domainlist where id='2'"), Cipher("https://pay.example.cn/login"));
  // The user centre's marker is stored under the internal scheme.
  EXPECT_EQ(Plain("source_url", "5") + " " + Plain("source_domain", "5"), "tarvo://usercenter usercenter");

  WString target;
  ASSERT_TRUE(list_.MapSourceToTarget(u"https://pay.example.cn/login", target));
  EXPECT_EQ(target, u"http://127.0.0.2/");
  DomainRecord record;
  ASSERT_TRUE(list_.GetProtectRecord(u"https://bank.example.cn/", u"http://127.0.0.1:9001/", record));
  EXPECT_EQ(record.authIconUrls.size(), 3u);
}

TEST_F(DomainListSyncTest, UnusableRepliesChangeNothing) {
  ASSERT_EQ(test::ProtectedSites(store_.db()).Add({"7", "https://kept.example/", "http://127.0.0.7/"}), 0);
  Json::Value notArray;
  notArray["max_time"] = 5;
  notArray["domain_list"] = "not a list";
  Json::Value entries(Json::arrayValue);
  entries.append(Entry(1, "https://bank.example/", "http://127.0.0.1/"));
  entries.append(Entry(2, "https://pay.example/", "http://127.0.0.2/"));
  Json::Value unsigned_ = SignedList(entries);
  unsigned_.removeMember("signature2");
  Json::Value foreign = unsigned_;
  foreign["signature2"] = SigningKey::Generate()->Sign(DomainListSync::MirrorMapText(foreign));
  // Signed as statement 1 only, as services before statement 2 sign.
  Json::Value firstStatement = unsigned_;
  std::vector<MirrorMapEntry> firstEntries;
  for (const Json::Value& entry : entries) {
    std::string source;
    std::string target;
    PayloadCipher().DecryptText(entry["source_url"].asString(), source);
    PayloadCipher().DecryptText(entry["target_url"].asString(), target);
    firstEntries.push_back(MirrorMapEntry{entry["id"].asInt64(), 1, 1, source, target});
  }
  firstStatement["signature"] = BrandKey().Sign(StatementText::MirrorMap("1700000000", firstEntries));
  Json::Value redirected = SignedList(entries);
  redirected["domain_list"][1]["target_url"] = Cipher("http://127.0.0.66/");
  Json::Value shortened = SignedList(entries);
  shortened["domain_list"].resize(1);
  Json::Value later = SignedList(entries);
  later["max_time"] = 1800000000;
  // Signed, but applying fails part-way (two entries with one id): all is rolled back.
  Json::Value sameId(Json::arrayValue);
  sameId.append(Entry(1, "https://a.example/", "http://127.0.0.1/"));
  sameId.append(Entry(1, "https://b.example/", "http://127.0.0.2/"));
  std::vector<std::string> replies = {
      Envelope(200, unsigned_),
      Envelope(200, foreign),
      Envelope(200, firstStatement),
      Envelope(200, redirected),
      Envelope(200, shortened),
      Envelope(200, later),
      ListReply(sameId),
      Envelope(200, notArray),
      Envelope(500, Json::Value()),
      "{\"code\": 200, \"data\": {\"domain_list\": [",  // cut off
      "<html>gateway error</html>",
      "",
  };
  // Every member of an entry is signed: none can be changed on the way.
  const Json::Value changes[] = {
      Json::Value(0),   Json::Value(0),   Json::Value(0),   Json::Value(false), Json::Value(9), Json::Value(9),
      Json::Value(9),   Json::Value(9),   Json::Value("x"), Json::Value("x"),   Json::Value("x"), Json::Value("x"),
      Json::Value("x"), Json::Value("x"), Json::Value("x")};
  const char* members[] = {"isauth",    "isensure",     "source_status", "isauth",      "issign",
                           "source_id", "target_id",    "action",        "signgrade",   "signgrade_en",
                           "signcode",  "signdesc",     "signdesc_en",   "ensure",      "ensure_en"};
  for (size_t i = 0; i < std::size(members); ++i) {
    Json::Value changed = SignedList(entries);
    changed["domain_list"][0][members[i]] = changes[i];
    replies.push_back(Envelope(200, changed));
  }
  Json::Value icon = SignedList(entries);
  icon["domain_list"][0]["authicon"].append("http://elsewhere.example/seal.png");
  replies.push_back(Envelope(200, icon));
  for (const char* member : {"issued_at", "latest_time"}) {
    Json::Value changed = SignedList(entries);
    changed[member] = 1;
    replies.push_back(Envelope(200, changed));
  }
  for (const std::string& reply : replies) {
    Serve(reply);
    EXPECT_EQ(sync_.SyncDomainList(), -1) << reply;
    EXPECT_EQ(store_.Scalar("select group_concat(id) from domainlist"), "7") << reply;
    EXPECT_EQ(store_.Scalar("select value from info where key='domainlist_latesttime'"), "0") << reply;
  }
  WString target;
  EXPECT_TRUE(list_.MapSourceToTarget(u"https://kept.example/", target));
}

TEST_F(DomainListSyncTest, OnlyInsertsSurviveBecauseTheTableIsEmptiedFirst) {
  Json::Value entries(Json::arrayValue);
  entries.append(Entry(1, "https://one.example/", "http://127.0.0.1/", 2));    // update of a row now gone
  entries.append(Entry(2, "https://two.example/", "http://127.0.0.2/", 3));    // delete
  entries.append(Entry(3, "https://three.example/", "http://127.0.0.3/", 1));  // insert
  entries.append(Entry(4, "https://four.example/", "http://127.0.0.4/", 9));   // unknown action
  entries.append(Json::Value("not an object"));
  Serve(ListReply(entries));
  ASSERT_EQ(sync_.SyncDomainList(), 0);
  EXPECT_EQ(store_.Scalar("select group_concat(id) from domainlist"), "3");
}

TEST_F(DomainListSyncTest, LatencyPassStoresTheReplyTimeToLive) {
  test::ProtectedSites sites(store_.db());
  ASSERT_EQ(sites.Add({"1", "https://loop.example/", "http://127.0.0.1:9/"}), 0);
  ASSERT_EQ(sites.Add({"2", "https://named.example/", "http://mirror.invalid/"}), 0);
  ASSERT_EQ(sites.Add({"3", "https://hostless.example/", ""}), 0);
  ASSERT_EQ(sites.Add({"4", "https://inactive.example/", "http://127.0.0.1/", "42", "0"}), 0);
  sync_.MeasureDomainLatency();
  // Loopback answers with TTL 64, a name is not pinged, no host is unreachable, an
  // inactive row is left alone.
  EXPECT_EQ(store_.Scalar("select group_concat(id || ':' || ttl) from (select * from domainlist order by id)"),
            "1:64,2:0,3:65535,4:42");
}

// The stored list as "id:target" pairs, in id order.
std::string Targets(test::TestDatabase& store) {
  std::string pairs;
  QueryTable table;
  store.db().Query("select id, target_url from domainlist order by cast(id as integer);", {}, &table);
  for (size_t row = 0; row < table.rows.size(); ++row) {
    std::string plain;
    PayloadCipher().DecryptText(table.Text(row, 1), plain);
    pairs += (pairs.empty() ? "" : ",") + table.Text(row, 0) + ":" + plain;
  }
  return pairs;
}

TEST_F(DomainListSyncTest, TheKeptTimeIsSentAndTheChangesSinceAreAppliedOnTop) {
  Json::Value whole(Json::arrayValue);
  whole.append(Entry(1, "https://one.example/", "http://127.0.0.1/"));
  whole.append(Entry(2, "https://two.example/", "http://127.0.0.2/"));
  whole.append(Entry(3, "https://three.example/", "http://127.0.0.3/"));
  Serve(ListReply(whole, 1700000000));
  ASSERT_EQ(sync_.SyncDomainList(), 0);

  // What changed after it: one site updated, one retired, one new, and one update
  // of a site the browser never had.
  Json::Value changes(Json::arrayValue);
  changes.append(Entry(2, "https://two.example/", "http://127.0.0.22/", 2));
  changes.append(Entry(3, "https://three.example/", "http://127.0.0.3/", 3));
  changes.append(Entry(4, "https://four.example/", "http://127.0.0.4/", 1));
  changes.append(Entry(5, "https://five.example/", "http://127.0.0.5/", 2));
  Serve(ListReply(changes, 1700000100, 1700000000));
  ASSERT_EQ(sync_.SyncDomainList(), 0);
  EXPECT_EQ(server_.Requests().back().body, "latest_time=1700000000&platform=3&client_version=0&brand=TarvoBrowser");
  EXPECT_EQ(Targets(store_), "1:http://127.0.0.1/,2:http://127.0.0.22/,4:http://127.0.0.4/,5:http://127.0.0.5/");
  EXPECT_EQ(store_.Scalar("select value from info where key='domainlist_latesttime'"), "1700000100");

  // The same changes once more (a list of changes since an earlier time repeats
  // some) leave the list as it is; the next request sends the newer time.
  Serve(ListReply(changes, 1700000100, 1700000050));
  ASSERT_EQ(sync_.SyncDomainList(), 0);
  EXPECT_EQ(server_.Requests().back().body, "latest_time=1700000100&platform=3&client_version=0&brand=TarvoBrowser");
  EXPECT_EQ(Targets(store_), "1:http://127.0.0.1/,2:http://127.0.0.22/,4:http://127.0.0.4/,5:http://127.0.0.5/");
}

TEST_F(DomainListSyncTest, AnOlderMapReplayedIsRefusedAndARetiredMirrorStaysAway) {
  Json::Value before(Json::arrayValue);
  before.append(Entry(1, "https://bank.example/", "http://127.0.0.66/"));  // a mirror since retired
  const std::string old = ListReply(before, 1700000000);
  Json::Value now(Json::arrayValue);
  now.append(Entry(1, "https://bank.example/", "http://127.0.0.1/"));
  Serve(ListReply(now, 1700000500));
  ASSERT_EQ(sync_.SyncDomainList(), 0);

  // The older whole list, and a list of changes after a time later than the kept
  // one (which would skip what changed in between): both genuine, both refused.
  Json::Value skipping(Json::arrayValue);
  skipping.append(Entry(2, "https://pay.example/", "http://127.0.0.2/"));
  for (const std::string& replayed : {old, ListReply(skipping, 1700000900, 1700000600)}) {
    Serve(replayed);
    testing::internal::CaptureStderr();
    EXPECT_EQ(sync_.SyncDomainList(), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("older than the one kept"), std::string::npos);
    EXPECT_EQ(Targets(store_), "1:http://127.0.0.1/");
    EXPECT_EQ(store_.Scalar("select value from info where key='domainlist_latesttime'"), "1700000500");
  }
  // The same list again is no older: taken, nothing changes.
  Serve(ListReply(now, 1700000500));
  EXPECT_EQ(sync_.SyncDomainList(), 0);
  EXPECT_EQ(Targets(store_), "1:http://127.0.0.1/");
}

TEST_F(DomainListSyncTest, WhatOlderVersionsStoredIsReadOn) {
  // A list kept by a browser from before statement 2: its rows and its time.
  ASSERT_EQ(test::ProtectedSites(store_.db()).Add({"7", "https://kept.example/", "http://127.0.0.7/"}), 0);
  ASSERT_EQ(InfoRecords(store_.db()).SetInfo(u"domainlist_latesttime", u"1690000000"), 0);
  Json::Value changes(Json::arrayValue);
  changes.append(Entry(8, "https://new.example/", "http://127.0.0.8/", 1));
  Serve(ListReply(changes, 1700000000, 1690000000));
  ASSERT_EQ(sync_.SyncDomainList(), 0);
  EXPECT_EQ(server_.Requests().back().body, "latest_time=1690000000&platform=3&client_version=0&brand=TarvoBrowser");
  EXPECT_EQ(Targets(store_), "7:http://127.0.0.7/,8:http://127.0.0.8/");
  WString target;
  ASSERT_TRUE(list_.MapSourceToTarget(u"https://kept.example/", target));
  EXPECT_EQ(target, u"http://127.0.0.7/");
}

}  // namespace
}  // namespace tarvo
