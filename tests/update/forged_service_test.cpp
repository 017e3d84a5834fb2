// A relay between browser and service forges the update and the mirror map: kept, dropped
// or foreign signatures leave nothing downloaded, started or remapped.
#include <json/json.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <atomic>
#include <map>
#include <mutex>

#include "net/file_digest.h"
#include "net/http_post_form.h"
#include "support/loopback_http_server.h"
#include "net/payload_cipher.h"
#include "net/signing_key.h"
#include "net/statement_text.h"
#include "protect/domain_list.h"
#include "protect/domain_list_sync.h"
#include "protect/protected_sites.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/test_database.h"
#include "update/pending_installer.h"
#include "update_service_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::LoopbackHttpServer;
using test::ReceivedRequest;
using test::ScriptedReply;

constexpr const char* kForeignInstaller = "#!/bin/sh\necho owned > \"$0.owned\"\n";
constexpr const char* kForeignMirror = "http://127.0.0.66/";
constexpr const char* kSite = "http://bank.tarvo.test/";
constexpr const char* kKnownMirror = "http://127.0.0.20:9/";  // what the browser has
constexpr const char* kRealMirror = "http://127.0.0.21:9/";   // what the service now says

enum class Forgery { kNone, kKeepSignature, kDropSignature, kOwnKey, kReplay };

class ForgedServiceTest : public test::UpdateServiceFixture {
 protected:
  void SetUp() override {
    UpdateServiceFixture::SetUp();
    // The browser reaches the service only through the relay.
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, relay_.WideUrl("/"));
    SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TarvoBrowser");
    ASSERT_EQ(test::ProtectedSites(store_.db()).Add({"1", kSite, kKnownMirror}), 0);
  }
  service::ServiceOptions Options() const override {
    service::ServiceOptions options = UpdateServiceFixture::Options();
    options.seedPath = dir_.WriteFile("seed/sites.json", R"({"default_brand": "TarvoBrowser", "brands": [
        {"name": "TarvoBrowser", "anonymous_vpn": false, "version": "5.5.9.0", "installer": "installer/5.5.9.0.sh"}],
        "sites": [{"id": 1, "source_id": 11, "source_url": "http://bank.tarvo.test/", "target_id": 21,
                   "target_url": "http://127.0.0.21:9/"}]})").string();
    return options;
  }

  // The service's reply to `request`, rewritten as `forgery_` says.
  ScriptedReply Relay(const ReceivedRequest& request) {
    if (request.target == "/foreign.sh") return LoopbackHttpServer::Ok(kForeignInstaller);
    std::lock_guard lock(mutex_);
    if (forgery_ == Forgery::kReplay) return LoopbackHttpServer::Ok(kept_[request.target]);
    std::string text;
    HttpPostForm(text, Utf8ToWide(service_->BaseUrl() + request.target.substr(1)), Utf8ToWide(request.body));
    // The first genuine reply to each request is kept, to be played back later.
    if (forgery_ == Forgery::kNone && kept_.count(request.target) == 0) kept_[request.target] = text;
    Json::Value reply;
    Json::Reader().parse(text, reply);
    Json::Value& data = reply["data"];
    if (forgery_ == Forgery::kNone || !data.isObject()) return LoopbackHttpServer::Ok(text);
    std::string statement;
    if (request.target == "/app/v1.0/version") {
      data["url"] = relay_.Url("/foreign.sh");
      data["sha256"] = FileSha256(foreignFile_.string());
      data["size"] = Json::UInt64(std::string(kForeignInstaller).size());
      statement = StatementText::VersionAnnouncement2("TarvoBrowser", data["version"].asString(),
                                                      data["url"].asString(), data["size"].asUInt64(),
                                                      data["sha256"].asString(), data["issued_at"].asInt64());
    } else {
      std::string mirror;
      PayloadCipher().EncryptText(kForeignMirror, mirror);
      for (Json::Value& entry : data["domain_list"]) entry["target_url"] = mirror;
      statement = DomainListSync::MirrorMapText(data);
    }
    if (forgery_ == Forgery::kDropSignature) data.removeMember("signature2");
    if (forgery_ == Forgery::kOwnKey) data["signature2"] = foreignKey_->Sign(statement);
    return LoopbackHttpServer::Ok(Json::writeString(Json::StreamWriterBuilder(), reply));
  }

  WString Mirror() {
    WString target;
    DomainList(store_.db()).MapSourceToTarget(Utf8ToWide(kSite), target);
    return target;
  }

  std::atomic<Forgery> forgery_ = Forgery::kNone;
  std::mutex mutex_;
  std::map<std::string, std::string> kept_;  // by request target; guarded by mutex_
  const std::optional<SigningKey> foreignKey_ = SigningKey::Generate();
  const fs::path foreignFile_ = dir_.WriteFile("foreign.sh", kForeignInstaller);
  LoopbackHttpServer relay_{[this](const ReceivedRequest& request) { return Relay(request); }};
  test::TestDatabase store_;
};

TEST_F(ForgedServiceTest, NoForgedInstallerIsStartedAndNoForgedMirrorIsTaken) {
  const UpdateSettings settings = Settings();
  DomainListSync sync(store_.db(), TrustedKeys::Parse(signingKey_.PublicKeyHex()));
  struct Round {
    Forgery forgery;
    bool taken;  // the last, untouched round: the very same path delivers both
  };
  for (const Round round : {Round{Forgery::kKeepSignature, false}, Round{Forgery::kDropSignature, false},
                            Round{Forgery::kOwnKey, false}, Round{Forgery::kNone, true}}) {
    forgery_ = round.forgery;
    const int label = static_cast<int>(round.forgery);
    UpdateCheck check(settings);
    EXPECT_EQ(check.CheckForUpdate(), round.taken ? UpdateCheck::Outcome::kDownloaded : UpdateCheck::Outcome::kFailed)
        << label;
    EXPECT_EQ(DataFiles().empty(), !round.taken) << label;
    EXPECT_EQ(PendingInstaller::Run(check, settings, true), round.taken) << label;
    EXPECT_EQ(sync.SyncDomainList(), round.taken ? 0 : -1) << label;
    EXPECT_EQ(Mirror(), Utf8ToWide(round.taken ? kRealMirror : kKnownMirror)) << label;
  }
  EXPECT_TRUE(test::WaitUntil([&] { return fs::exists(Installer().string() + ".ran"); }));
  EXPECT_FALSE(fs::exists(Installer().string() + ".owned"));
  for (const ReceivedRequest& request : relay_.Requests()) EXPECT_NE(request.target, "/foreign.sh");
}

TEST_F(ForgedServiceTest, OlderStatementsPlayedBackAreRefused) {
  const UpdateSettings settings = Settings();
  DomainListSync sync(store_.db(), TrustedKeys::Parse(signingKey_.PublicKeyHex()));
  // The relay keeps what the service says first: release 5.5.9.0, the mirror it names.
  ASSERT_EQ(UpdateCheck(settings).CheckForUpdate(), UpdateCheck::Outcome::kDownloaded);
  ASSERT_EQ(sync.SyncDomainList(), 0);
  ASSERT_EQ(Mirror(), Utf8ToWide(kRealMirror));
  // The service then moves on: a new release, and the site's mirror moved (the one
  // before retired).
  AdvanceClock(100);
  dir_.WriteFile("reseed/installer/5.5.9.1.sh", test::kMarkingInstaller);
  Reseed(R"({"default_brand": "TarvoBrowser", "brands": [
      {"name": "TarvoBrowser", "anonymous_vpn": false, "version": "5.5.9.1", "installer": "installer/5.5.9.1.sh"}],
      "sites": [{"id": 1, "source_id": 11, "source_url": "http://bank.tarvo.test/", "target_id": 21,
                 "target_url": "http://127.0.0.22:9/"}]})",
         Options());
  UpdateCheck check(settings);
  ASSERT_EQ(check.CheckForUpdate(), UpdateCheck::Outcome::kDownloaded);
  ASSERT_EQ(sync.SyncDomainList(), 0);
  ASSERT_EQ(Mirror(), u"http://127.0.0.22:9/");
  // The relay plays back the first statements: genuine, signed, older. Refused.
  forgery_ = Forgery::kReplay;
  EXPECT_EQ(check.CheckForUpdate(), UpdateCheck::Outcome::kFailed);
  EXPECT_EQ(check.Announced().version, u"5.5.9.1");
  EXPECT_EQ(sync.SyncDomainList(), -1);
  EXPECT_EQ(Mirror(), u"http://127.0.0.22:9/") << "the retired mirror does not come back";
}

}  // namespace
}  // namespace tarvo
