#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "net/file_digest.h"
#include "net/http_post_form.h"
#include "net/signing_key.h"
#include "net/statement_text.h"
#include "platform/per_user_registry.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/loopback_http_server.h"
#include "support/scoped_env.h"
#include "update/pending_installer.h"
#include "update/update_check.h"
#include "update/version_number.h"
#include "update_service_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Outcome = UpdateCheck::Outcome;
using service::ServiceOptions;
using test::LoopbackHttpServer;
using test::ReceivedRequest;
using test::ScriptedReply;

constexpr const char16_t* kKey = test::kUpdateKey;
constexpr const char* kInstaller = test::kMarkingInstaller;
using UpdateCheckTest = test::UpdateServiceFixture;
using test::WaitUntil;

TEST_F(UpdateCheckTest, ANewerVersionIsDownloadedOnceVerifiedAndRunAtTheNextStartUnlessTold) {
  const UpdateSettings settings = Settings();
  UpdateCheck check(settings);
  ASSERT_EQ(check.CheckForUpdate(), Outcome::kDownloaded) << log_.str();
  const fs::path installer = Installer();
  EXPECT_EQ(DataFiles(), std::vector<std::string>{"5.5.9.0.run"}) << "no temporary file left";
  EXPECT_EQ(fs::status(installer).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(FileSha256(installer.string()), FileSha256(installerPath_));
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateVer"), u"5.5.9.0");
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateExeUrl"), Utf8ToWide(service_->BaseUrl() + "download/5.5.9.0.sh"));
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateSha256"), Utf8ToWide(FileSha256(installerPath_)));
  EXPECT_TRUE(check.IsUpdateDownloaded());
  EXPECT_FALSE(check.IsUpdatePending());

  // The next rounds find it there and download nothing.
  EXPECT_EQ(check.CheckForUpdate(), Outcome::kAlreadyDownloaded);
  EXPECT_EQ(LoggedRequests("GET /download/5.5.9.0.sh 200"), 1) << log_.str();

  // An address or "-noupdate" on the command line, or the package manager, start the browser.
  EXPECT_FALSE(PendingInstaller::Run(check, settings, false));
  UpdateSettings packaged = settings;
  packaged.packageManaged = true;
  EXPECT_FALSE(PendingInstaller::Run(check, packaged, true));
  // So does a running copy of the installer.
  {
    const fs::path copy = dir_.path() / "running" / "5.5.9.0.run";
    fs::create_directories(copy.parent_path());
    fs::copy_file("/bin/sleep", copy);
    const pid_t sleeper = fork();
    if (sleeper == 0) {
      execl(copy.c_str(), "5.5.9.0.run", "30", static_cast<char*>(nullptr));
      _exit(127);
    }
    WaitUntil([&] { return fs::read_symlink("/proc/" + std::to_string(sleeper) + "/exe") == copy; });
    EXPECT_FALSE(PendingInstaller::Run(check, settings, true));
    kill(sleeper, SIGKILL);
    waitpid(sleeper, nullptr, 0);
  }
  EXPECT_FALSE(fs::exists(installer.string() + ".ran"));

  // A plain start runs it.
  EXPECT_TRUE(PendingInstaller::Run(check, settings, true));
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(installer.string() + ".ran"); }));
}

TEST_F(UpdateCheckTest, AnInstallerThatNoLongerMatchesIsDeletedAndNeverRun) {
  const UpdateSettings settings = Settings();
  UpdateCheck check(settings);
  ASSERT_EQ(check.CheckForUpdate(), Outcome::kDownloaded);
  const fs::path installer = Installer();
  std::ofstream(installer, std::ios::app) << "rm -rf \"$HOME\"\n";
  EXPECT_FALSE(check.IsUpdateDownloaded());
  EXPECT_FALSE(PendingInstaller::Run(check, settings, true));
  EXPECT_FALSE(fs::exists(installer));
  // The next round fetches the published file again.
  EXPECT_EQ(check.CheckForUpdate(), Outcome::kDownloaded);
  EXPECT_TRUE(check.IsUpdateDownloaded());

  // Size and checksum in the per-user store rewritten to fit another file: they are
  // no longer what the brand signed, so that file does not run either.
  const std::string other = "#!/bin/sh\necho other > \"$0.ran\"\n";
  std::ofstream(installer, std::ios::trunc) << other;
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateSha256", Utf8ToWide(FileSha256(installer.string()))), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateSize", AsciiToWide(std::to_string(other.size()))), 0);
  EXPECT_FALSE(check.IsAnnouncedNewer());
  EXPECT_FALSE(PendingInstaller::Run(check, settings, true));
  EXPECT_FALSE(fs::exists(installer.string() + ".ran"));
}

TEST_F(UpdateCheckTest, TheSameOrAnOlderVersionDownloadsNothingButRewritesTheValues) {
  for (const char16_t* own : {u"5.5.9.0", u"5.5.10.0", u"5.5.9.00"}) {
    ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateVer", u"1.0"), 0);
    UpdateCheck check(Settings(own));
    EXPECT_EQ(check.CheckForUpdate(), Outcome::kUpToDate);
    EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateVer"), u"5.5.9.0");
    EXPECT_FALSE(check.IsUpdatePending());
  }
  EXPECT_TRUE(DataFiles().empty());
  EXPECT_EQ(LoggedRequests("GET /download/"), 0);
}

TEST_F(UpdateCheckTest, APackageManagedBrowserHearsOfTheVersionButDownloadsNothing) {
  UpdateSettings settings = Settings();
  settings.packageManaged = true;
  UpdateCheck check(settings);
  EXPECT_EQ(check.CheckForUpdate(), Outcome::kAnnounced);
  EXPECT_TRUE(check.IsAnnouncedNewer());
  EXPECT_TRUE(DataFiles().empty());

  const fs::path program = dir_.path() / "program";
  fs::create_directories(program);
  EXPECT_FALSE(UpdateSettings::IsPackageManaged(program.string() + "/"));
  std::ofstream(program / UpdateSettings::kPackageMarker) << "dpkg\n";
  EXPECT_TRUE(UpdateSettings::IsPackageManaged(program.string() + "/"));
}

// tarvo-service publishing a scripted host's address for its installer, so the
// download can go wrong in every way while the version reply stays the real one.
class FaultyInstallerHostTest : public test::UpdateServiceFixture {
 protected:
  ServiceOptions Options() const override {
    ServiceOptions options = UpdateServiceFixture::Options();
    options.publicUrl = host_.Url("/");
    return options;
  }

  std::function<ScriptedReply()> reply_;
  LoopbackHttpServer host_{[this](const ReceivedRequest&) { return reply_(); }};
};

TEST_F(FaultyInstallerHostTest, AFailedShortOrAlteredDownloadLeavesNoInstallerAndRunsNothing) {
  const std::string published = kInstaller;
  struct Case {
    const char* what;
    std::function<ScriptedReply()> reply;
  };
  const std::vector<Case> cases = {
      {"altered", [&] { return LoopbackHttpServer::Ok("#!/bin/sh\necho not what was published\n"); }},
      {"cut short",
       [&] {
         return ScriptedReply{.head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(published.size() + 100) +
                                      "\r\n\r\n",
                              .body = published, .close = true};
       }},
      {"missing", [] { return ScriptedReply{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", "", 0, 0, 0, true}; }},
      {"silent", [] { return ScriptedReply{"", "", 0, 5000, 0, true}; }},
  };
  const UpdateSettings settings = Settings();
  for (const Case& c : cases) {
    reply_ = c.reply;
    UpdateCheck check(settings);
    EXPECT_EQ(check.CheckForUpdate(), Outcome::kRejected) << c.what;
    EXPECT_TRUE(DataFiles().empty()) << c.what;
    EXPECT_FALSE(PendingInstaller::Run(check, settings, true)) << c.what;
  }
  // The real file is taken.
  reply_ = [&] { return LoopbackHttpServer::Ok(published); };
  EXPECT_EQ(UpdateCheck(settings).CheckForUpdate(), Outcome::kDownloaded);
}

TEST(UpdateReplyTest, ASignedVersionReplyWithoutAChecksumIsNoUpdate) {
  test::TempDir dir;
  test::ScopedEnv config("XDG_CONFIG_HOME", (dir.path() / "config").string());
  const std::optional<SigningKey> key = SigningKey::Generate();
  const std::string signature =
      key->Sign(StatementText::VersionAnnouncement2("TarvoBrowser", "5.5.9.0", "x", 0, "", 1700000000));
  LoopbackHttpServer service([&](const ReceivedRequest& request) {
    if (request.target.find("/download/") != std::string::npos) return LoopbackHttpServer::Ok("#!/bin/sh\n");
    return LoopbackHttpServer::Ok(R"({"code":200,"message":"success","data":{"version":"5.5.9.0","url":"x",)"
                                  R"("issued_at":1700000000,"signature2":")" + signature + R"("}})");
  });
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, service.WideUrl("/"));
  UpdateSettings settings;
  settings.dataRoot = Utf8ToWide(dir.path().string() + "/");
  settings.ownVersion = u"5.5.8.1";
  settings.brand = u"TarvoBrowser";
  settings.registryKey = kKey;
  settings.trustedKeys = key->PublicKeyHex();
  UpdateCheck check(settings);
  EXPECT_EQ(check.CheckForUpdate(), Outcome::kUpToDate);
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateVer"), u"5.5.9.0") << "stored as announced";
  EXPECT_FALSE(check.IsAnnouncedNewer());
  EXPECT_EQ(service.Requests().size(), 1u) << "nothing downloaded";
}

TEST_F(UpdateCheckTest, AnOlderAnnouncementReplayedIsRefusedAndWhatIsKeptStays) {
  // What the service announced first, as a relay on the way could keep it.
  std::string first;
  ASSERT_EQ(HttpPostForm(first, Utf8ToWide(service_->BaseUrl() + "app/v1.0/version"), u"brand=TarvoBrowser&type=PC"),
            0);
  // A later release replaces it (the first had a flaw, say).
  AdvanceClock(100);
  dir_.WriteFile("reseed/installer/5.5.9.1.sh", kInstaller);
  Reseed(R"({"default_brand": "TarvoBrowser", "brands": [{"name": "TarvoBrowser", "anonymous_vpn": false,
             "version": "5.5.9.1", "installer": "installer/5.5.9.1.sh"}]})",
         Options());
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(service_->BaseUrl()));
  UpdateCheck check(Settings());
  WString version;
  WString url;
  ASSERT_EQ(check.CheckVersion(version, url), 0);
  EXPECT_EQ(version, u"5.5.9.1");
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateIssued"), AsciiToWide(std::to_string(Now())));

  // The first announcement, genuine but older, played back: refused, nothing changes.
  LoopbackHttpServer relay([&](const ReceivedRequest&) { return LoopbackHttpServer::Ok(first); });
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, relay.WideUrl("/"));
  testing::internal::CaptureStderr();
  EXPECT_EQ(check.CheckVersion(version, url), -1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("before the one kept"), std::string::npos);
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateVer"), u"5.5.9.1");
  EXPECT_EQ(check.Announced().version, u"5.5.9.1");
  EXPECT_TRUE(check.IsAnnouncedNewer());

  // Seeding the same release again keeps its date: the service's announcement is
  // still taken.
  Reseed(R"({"default_brand": "TarvoBrowser", "brands": [{"name": "TarvoBrowser", "anonymous_vpn": false,
             "version": "5.5.9.1", "installer": "installer/5.5.9.1.sh"}]})",
         Options());
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(service_->BaseUrl()));
  AdvanceClock(100);
  EXPECT_EQ(check.CheckVersion(version, url), 0);
}

TEST_F(UpdateCheckTest, WhatABrowserFromBeforeStoredIsReadOn) {
  // The announcement as browsers before statement 2 kept it: signed as statement 1, undated.
  const std::string url = service_->BaseUrl() + "download/5.5.9.0.sh";
  const std::string sha = FileSha256(installerPath_);
  const uint64_t size = std::string(kInstaller).size();
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateVer", u"5.5.9.0"), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateExeUrl", Utf8ToWide(url)), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateSha256", Utf8ToWide(sha)), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateSize", AsciiToWide(std::to_string(size))), 0);
  ASSERT_EQ(PerUserRegistry::WriteString(
                kKey, u"UpdateSignature",
                Utf8ToWide(signingKey_.Sign(StatementText::VersionAnnouncement("TarvoBrowser", "5.5.9.0", url, size, sha)))),
            0);
  UpdateCheck check(Settings());
  EXPECT_TRUE(check.IsAnnouncedNewer());
  EXPECT_TRUE(check.IsUpdatePending());
  // A date changed beside it makes it count for nothing.
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateIssued", u"1"), 0);
  EXPECT_FALSE(check.IsAnnouncedNewer());
  ASSERT_EQ(PerUserRegistry::WriteString(kKey, u"UpdateIssued", u""), 0);
  // The service's dated announcement then takes its place.
  EXPECT_EQ(check.CheckForUpdate(), Outcome::kDownloaded);
  EXPECT_EQ(PerUserRegistry::ReadString(kKey, u"UpdateSignature"), u"");
  EXPECT_FALSE(PerUserRegistry::ReadString(kKey, u"UpdateSignature2").empty());
}

TEST(VersionNumberTest, ComparesPartByPartAsNumbersAndRefusesOtherTexts) {
  struct Case {
    const char16_t* announced;
    const char16_t* own;
    bool newer;
    const char* why;
  };
  const Case cases[] = {
      {u"5.5.9.0", u"5.5.8.1", true, "the next release"},
      {u"5.5.10.0", u"5.5.8.1", true, "10 is more than 8 (a text comparison says less)"},
      {u"5.5.8.1", u"5.5.10.0", false, "older"},
      {u"5.5.8.1", u"5.5.8.1", false, "equal"},
      {u"5.5.8.01", u"5.5.8.1", false, "a leading zero changes nothing"},
      {u"5.5.9", u"5.5.9.0", false, "a missing part counts as 0"},
      {u"5.5.9.0.1", u"5.5.9", true, "an extra part that is not 0"},
      {u"123456789012345678901234567890.0", u"99999999999999999999.0", true, "parts longer than any integer"},
      {u"5.5.9.0b", u"5.5.8.1", false, "letters: not a release number"},
      {u"5.5.9-rc1", u"5.5.8.1", false, "a suffix"},
      {u"5..9.0", u"5.5.8.1", false, "an empty part"},
      {u"", u"5.5.8.1", false, "nothing announced"},
      {u" 5.5.9.0", u"5.5.8.1", false, "a blank"},
      {u"5.5.9.0/../../x", u"5.5.8.1", false, "a path"},
      {u"５.5.9.0", u"5.5.8.1", false, "a full-width digit"},
      {u"1.2.3.4.5.6.7.8.9", u"1.0", false, "more than eight parts"},
      {u"5.5.9.0", u"unknown", false, "an own version that is no number"},
  };
  for (const Case& c : cases) EXPECT_EQ(VersionNumber::IsNewer(c.announced, c.own), c.newer) << c.why;
}

}  // namespace
}  // namespace tarvo
