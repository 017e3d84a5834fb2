#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "net/trusted_keys.h"
#include "platform/text.h"

namespace tarvo {

// What the service last announced, as kept in the per-user store ("UpdateVer",
// "UpdateExeUrl", "UpdateSha256", "UpdateSize", "UpdateIssued", "UpdateSignature2";
// "UpdateSignature" as browsers before statement 2 kept it): values survive
// restarts and meet the start-up's pending-installer step there.
struct UpdateAnnouncement {
  WString version;
  WString installerUrl;
  std::string sha256;     // lower-case hex; empty when the service sent none
  uint64_t size = 0;      // the installer's length in bytes
  int64_t issuedAt = 0;   // when the service published this release
  // The brand's signature (hex) over the five values (StatementText::
  // VersionAnnouncement2); empty in what a browser from before stored, which
  // kept `signature`, the one over the first four (statement 1).
  std::string signature2;
  std::string signature;
};

// What one browser's update check works with.
struct UpdateSettings {
  WString dataRoot;     // where installers are downloaded ("appdata/path", ends in "/")
  WString ownVersion;   // "app/version"
  WString brand;        // "app/brand"
  WString registryKey;  // the per-user store's key path ("Software\" + "app/regkey")
  // Installed by a package manager, whose files an installer must not overwrite:
  // a newer version is announced, never downloaded or run.
  bool packageManaged = false;
  // A download that makes no progress for this long fails (0: the client's bound).
  uint32_t downloadStallMs = 0;
  // The brand's public keys an announcement must be signed with ("app/service_keys").
  std::string trustedKeys;

  // The running browser's values, from the settings registry and the executable's
  // folder (package-managed when the package's marker file lies there).
  static UpdateSettings ForThisBrowser();
  // Whether `programFolder` (ending in "/") holds the marker that the Debian
  // package installs beside the program.
  static bool IsPackageManaged(const std::string& programFolder);
  static constexpr const char* kPackageMarker = "package-managed";
};

// The browser's update check: asks the service for the current version, keeps the
// announcement in the per-user store and, when the version is newer than the own
// one, downloads its installer into the data root as "<version>.run" (through
// "<version>.run.tmp"), keeping it only when its size and SHA-256 match the announced
// ones. Versions compare numerically (VersionNumber). An announcement that is not
// signed by one of the brand's keys (statement 2, which dates it), or that was
// issued before the stored one (an older announcement replayed), is refused
// outright (nothing stored, nothing downloaded, a line on standard error); one
// without a usable version, address, size or checksum is never an update. The
// stored announcement is verified again whenever it is used, so a value changed in
// the per-user store counts for nothing; one a browser from before stored (signed
// as statement 1) is still read, as issued at 0.
//
// Threads: CheckForUpdate and CheckVersion may be called from several threads (the
// service loop, a menu's worker); checks run one at a time (mutex_). The read-only
// queries and Cancel work from any thread.
class UpdateCheck {
 public:
  enum class Outcome {
    kFailed,             // no answer, or an answer that is not a version reply
    kUpToDate,           // the announced version is not newer (or is unusable)
    kDownloaded,         // this check downloaded and verified the installer
    kAlreadyDownloaded,  // the installer was downloaded and verified before
    kAnnounced,          // newer, but the package manager installs updates
    kRejected,           // the download failed, stopped short or did not match
  };

  explicit UpdateCheck(UpdateSettings settings);

  // Asks the service ("app/v1.0/version") and stores the signed announcement whatever
  // it says, newer or not. 0, or -1 (nothing stored) without a reply of code 200,
  // when the reply is not signed by the brand or when it was issued before the
  // stored announcement. Blocking.
  int CheckVersion(WString& version, WString& installerUrl);
  // The stored announcement.
  UpdateAnnouncement Announced() const;
  // The stored announcement is signed by the brand, its version is newer than the own
  // one and it comes with an address, a size and a checksum.
  bool IsAnnouncedNewer() const;
  // The file at `path` is the announced installer: its size and SHA-256 match.
  static bool MatchesAnnouncement(const std::string& path, const UpdateAnnouncement& announced);
  // Data root + stored version + ".run"; empty unless the version is a release
  // number (so nothing the service sends can name a path elsewhere).
  WString GetInstallerPath() const;
  // Newer, and no installer file yet.
  bool IsUpdatePending() const;
  // Newer, and the installer file is there with the announced size and checksum.
  bool IsUpdateDownloaded() const;
  // One pass: CheckVersion, then the download when an update is pending. Blocking;
  // a download is bounded by its stall limit and by Cancel.
  Outcome CheckForUpdate();
  // Ends a running download soon (it then counts as rejected), and every later one.
  void Cancel() { cancelled_ = true; }

  static constexpr const char* kInstallerSuffix = ".run";

 private:
  Outcome Download(const UpdateAnnouncement& announced, const WString& installerPath);

  bool IsSignedByBrand(const UpdateAnnouncement& announced) const;

  const UpdateSettings settings_;
  const TrustedKeys trustedKeys_;
  std::mutex mutex_;  // one check at a time
  std::atomic<bool> cancelled_{false};
};

// Readable name of an outcome, for diagnostics.
const char* OutcomeName(UpdateCheck::Outcome outcome);

}  // namespace tarvo
