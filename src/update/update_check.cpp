#include "update/update_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "net/http_factory.h"
#include "net/http_post_form.h"
#include "net/i_http_callback.h"
#include "net/i_win_http.h"
#include "platform/debug_output.h"
#include "platform/paths.h"
#include "platform/per_user_registry.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "net/file_digest.h"
#include "net/statement_text.h"
#include "platform/warning_output.h"
#include "update/version_number.h"

namespace tarvo {

namespace {

constexpr char16_t kVersionValue[] = u"UpdateVer";
constexpr char16_t kUrlValue[] = u"UpdateExeUrl";
constexpr char16_t kDigestValue[] = u"UpdateSha256";
constexpr char16_t kSizeValue[] = u"UpdateSize";
constexpr char16_t kSignatureValue[] = u"UpdateSignature";
constexpr char16_t kIssuedValue[] = u"UpdateIssued";
constexpr char16_t kSignature2Value[] = u"UpdateSignature2";

// Lets a running download end when the check is cancelled.
class CancelFlag : public IHttpCallback {
 public:
  explicit CancelFlag(const std::atomic<bool>& cancelled) : cancelled_(cancelled) {}
  void OnDownloadProgress(uint32_t, int32_t, double, double) override {}
  bool IsCancelled() override { return cancelled_.load(); }

 private:
  const std::atomic<bool>& cancelled_;
};

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

UpdateSettings UpdateSettings::ForThisBrowser() {
  const SettingsRegistry& registry = SettingsRegistry::Instance();
  UpdateSettings settings;
  settings.dataRoot = registry.Get(SettingsKeys::kDataRoot);
  settings.ownVersion = registry.Get(SettingsKeys::kVersion);
  settings.brand = registry.Get(SettingsKeys::kBrand);
  settings.registryKey = u"Software\\" + registry.Get(SettingsKeys::kRegistryKey);
  settings.packageManaged = IsPackageManaged(ExecutableFolder());
  settings.trustedKeys = registry.GetUtf8(SettingsKeys::kServiceKeys);
  return settings;
}

bool UpdateSettings::IsPackageManaged(const std::string& programFolder) {
  std::error_code ignored;
  return !programFolder.empty() && std::filesystem::is_regular_file(programFolder + kPackageMarker, ignored);
}

UpdateCheck::UpdateCheck(UpdateSettings settings)
    : settings_(std::move(settings)), trustedKeys_(TrustedKeys::Parse(settings_.trustedKeys)) {}

int UpdateCheck::CheckVersion(WString& version, WString& installerUrl) {
  ServiceReply reply;
  const FormBody body = FormBody().Add("brand", settings_.brand).Add("type", std::string_view("PC"));
  if (CallService(u"app/v1.0/version", body, reply) != 0 || !reply.succeeded()) {
    return -1;
  }
  UpdateAnnouncement announced;
  announced.version = Utf8ToWide(ServiceReply::ReadString(reply.data(), "version"));
  announced.installerUrl = Utf8ToWide(ServiceReply::ReadString(reply.data(), "url"));
  announced.sha256 = ServiceReply::ReadString(reply.data(), "sha256");
  announced.size = static_cast<uint64_t>(std::max<int64_t>(0, ServiceReply::ReadInt(reply.data(), "size")));
  announced.issuedAt = ServiceReply::ReadInt(reply.data(), "issued_at");
  announced.signature2 = ServiceReply::ReadString(reply.data(), "signature2");
  if (announced.signature2.empty() || !IsSignedByBrand(announced)) {
    // Whoever sits between the browser and the service could have written it.
    WarningOutput("update: the version announcement is not signed by one of the brand's keys; ignored");
    return -1;
  }
  const UpdateAnnouncement stored = Announced();
  if (announced.issuedAt < stored.issuedAt && IsSignedByBrand(stored)) {
    // A genuine announcement, but an older one replayed: it could take back a
    // release that replaced a flawed one.
    WarningOutput("update: the version announcement was issued at " + std::to_string(announced.issuedAt) +
                  ", before the one kept (" + std::to_string(stored.issuedAt) + "); ignored");
    return -1;
  }
  version = announced.version;
  installerUrl = announced.installerUrl;
  // Stored whatever they are: the menu shows what the service said last.
  PerUserRegistry::WriteString(settings_.registryKey, kVersionValue, announced.version);
  PerUserRegistry::WriteString(settings_.registryKey, kUrlValue, announced.installerUrl);
  PerUserRegistry::WriteString(settings_.registryKey, kDigestValue, Utf8ToWide(announced.sha256));
  PerUserRegistry::WriteString(settings_.registryKey, kSizeValue, AsciiToWide(std::to_string(announced.size)));
  PerUserRegistry::WriteString(settings_.registryKey, kIssuedValue, AsciiToWide(std::to_string(announced.issuedAt)));
  PerUserRegistry::WriteString(settings_.registryKey, kSignature2Value, Utf8ToWide(announced.signature2));
  // Statement 1 of an older announcement must not vouch for these values.
  PerUserRegistry::WriteString(settings_.registryKey, kSignatureValue, u"");
  return 0;
}

bool UpdateCheck::IsSignedByBrand(const UpdateAnnouncement& announced) const {
  if (!announced.signature2.empty()) {
    return trustedKeys_.Verifies(
        StatementText::VersionAnnouncement2(WideToUtf8(settings_.brand), WideToUtf8(announced.version),
                                            WideToUtf8(announced.installerUrl), announced.size, announced.sha256,
                                            announced.issuedAt),
        announced.signature2);
  }
  // What a browser from before stored: statement 1, undated.
  return announced.issuedAt == 0 &&
         trustedKeys_.Verifies(
             StatementText::VersionAnnouncement(WideToUtf8(settings_.brand), WideToUtf8(announced.version),
                                                WideToUtf8(announced.installerUrl), announced.size, announced.sha256),
             announced.signature);
}

UpdateAnnouncement UpdateCheck::Announced() const {
  UpdateAnnouncement announced;
  announced.version = PerUserRegistry::ReadString(settings_.registryKey, kVersionValue);
  announced.installerUrl = PerUserRegistry::ReadString(settings_.registryKey, kUrlValue);
  announced.sha256 = WideToUtf8(PerUserRegistry::ReadString(settings_.registryKey, kDigestValue));
  const std::string size = WideToUtf8(PerUserRegistry::ReadString(settings_.registryKey, kSizeValue));
  announced.size = std::strtoull(size.c_str(), nullptr, 10);
  const std::string issued = WideToUtf8(PerUserRegistry::ReadString(settings_.registryKey, kIssuedValue));
  announced.issuedAt = std::strtoll(issued.c_str(), nullptr, 10);
  announced.signature2 = WideToUtf8(PerUserRegistry::ReadString(settings_.registryKey, kSignature2Value));
  announced.signature = WideToUtf8(PerUserRegistry::ReadString(settings_.registryKey, kSignatureValue));
  return announced;
}

bool UpdateCheck::IsAnnouncedNewer() const {
  const UpdateAnnouncement announced = Announced();
  return VersionNumber::IsNewer(announced.version, settings_.ownVersion) && !announced.installerUrl.empty() &&
         IsSha256Text(announced.sha256) && announced.size > 0 && IsSignedByBrand(announced);
}

bool UpdateCheck::MatchesAnnouncement(const std::string& path, const UpdateAnnouncement& announced) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  return !error && size == announced.size && FileSha256(path) == LowerCase(announced.sha256);
}

WString UpdateCheck::GetInstallerPath() const {
  const WString version = Announced().version;
  if (settings_.dataRoot.empty() || !VersionNumber::Parse(version)) return {};
  return settings_.dataRoot + version + AsciiToWide(kInstallerSuffix);
}

bool UpdateCheck::IsUpdatePending() const {
  const WString path = GetInstallerPath();
  std::error_code ignored;
  return IsAnnouncedNewer() && !path.empty() && !std::filesystem::exists(WideToUtf8(path), ignored);
}

bool UpdateCheck::IsUpdateDownloaded() const {
  const WString path = GetInstallerPath();
  if (!IsAnnouncedNewer() || path.empty()) return false;
  std::error_code ignored;
  const std::string file = WideToUtf8(path);
  return std::filesystem::is_regular_file(file, ignored) && MatchesAnnouncement(file, Announced());
}

UpdateCheck::Outcome UpdateCheck::CheckForUpdate() {
  std::lock_guard<std::mutex> lock(mutex_);
  WString version;
  WString installerUrl;
  if (CheckVersion(version, installerUrl) != 0) return Outcome::kFailed;
  if (!IsAnnouncedNewer()) return Outcome::kUpToDate;
  if (settings_.packageManaged) return Outcome::kAnnounced;
  const WString path = GetInstallerPath();
  if (path.empty()) return Outcome::kUpToDate;
  if (IsUpdateDownloaded()) return Outcome::kAlreadyDownloaded;
  // A file under the version's name that is not what the service published now
  // (cut short, altered, or replaced by a new build of the same version) goes.
  RemoveQuietly(WideToUtf8(path));
  return Download(Announced(), path);
}

UpdateCheck::Outcome UpdateCheck::Download(const UpdateAnnouncement& announced, const WString& installerPath) {
  const std::string target = WideToUtf8(installerPath);
  const std::string temporary = target + ".tmp";
  const HttpClientPtr<IWinHttp> client = MakeHttpClient<IWinHttp>(kHttpClientWinHttp);
  if (client == nullptr || cancelled_) return Outcome::kRejected;
  if (settings_.downloadStallMs != 0) {
    client->SetTimeOut(0, settings_.downloadStallMs, settings_.downloadStallMs);
  }
  CancelFlag cancel(cancelled_);
  client->SetDownloadCallBack(&cancel, 0);
  const bool fetched = client->DownloadFile(announced.installerUrl, Utf8ToWide(temporary));
  if (!fetched || !MatchesAnnouncement(temporary, announced)) {
    DebugOutput(fetched ? "update: the installer does not match the published size and checksum; deleted"
                        : "update: the installer download failed");
    RemoveQuietly(temporary);
    return Outcome::kRejected;
  }
  std::error_code error;
  // Run by its owner alone, as the start-up runs it.
  std::filesystem::permissions(temporary, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace,
                               error);
  if (!error) std::filesystem::rename(temporary, target, error);
  if (error) {
    DebugOutput("update: the installer could not be put in place: " + error.message());
    RemoveQuietly(temporary);
    return Outcome::kRejected;
  }
  return Outcome::kDownloaded;
}

const char* OutcomeName(UpdateCheck::Outcome outcome) {
  switch (outcome) {
    case UpdateCheck::Outcome::kFailed: return "no version reply";
    case UpdateCheck::Outcome::kUpToDate: return "up to date";
    case UpdateCheck::Outcome::kDownloaded: return "installer downloaded";
    case UpdateCheck::Outcome::kAlreadyDownloaded: return "installer already downloaded";
    case UpdateCheck::Outcome::kAnnounced: return "newer version announced (package-managed)";
    case UpdateCheck::Outcome::kRejected: return "installer rejected";
  }
  return "?";
}

}  // namespace tarvo
