#pragma once

#include <string>
#include <vector>

#include <json/value.h>

#include "net/payload_cipher.h"
#include "net/statement_text.h"
#include "net/trusted_keys.h"
#include "protect/domain_record.h"
#include "store/user_database.h"

namespace tarvo {

// Refreshes the protected-site list from the service and measures the mirrors.
// The browser asks for what changed since the "max_time" it stored (the whole list
// the first time); a whole list replaces the table, a list of changes is applied to
// it. Each refresh (emptying the table or not, applying the entries, recording
// "domainlist_latesttime") is one transaction: a reply that is unusable, or a
// failure part-way, leaves the previous list exactly as it was.
//
// The mirror map must carry the brand's signature over statement 2 (every stored
// field of every entry, the time it was issued, the time it answers and its
// "max_time"), and must be no older than the stored one: whoever terminates TLS
// on the way cannot bring back a retired mirror by replaying an older map, nor
// change a site's badges or icons. The table and the time older versions stored
// are read as they are.
//
class DomainListSync {
 public:
  // The address the service uses as a placeholder for the browser's own account
  // centre; entries with this source are stored under the internal scheme instead.
  static constexpr const char* kUserCenterMarker = "http://usercenter.tarvo.invalid/";

  // `trustedKeys`: the brand's public keys the list must be signed with (by default
  // the browser's own, "app/service_keys").
  explicit DomainListSync(UserDatabase& database, TrustedKeys trustedKeys = TrustedKeys::OfThisBrowser())
      : database_(database), trustedKeys_(std::move(trustedKeys)) {}

  // One refresh of the list (POST "app/v1.0/domain_list" with the stored
  // "domainlist_latesttime"). 0, or -1 on a transport failure, an unparsable or
  // refused reply, a "domain_list" that is not an array, a mirror map that is not
  // signed by one of the brand's keys or is older than the stored one (a "max_time"
  // before the stored one, or changes after a time later than it; both also said on
  // standard error), or a database failure; on -1 nothing has changed.
  int SyncDomainList();

  // Pings every active mirror once and stores the reply's time-to-live as the row's
  // ttl (0 when no reply came, 65535 when the mirror has no host). Blocks up to two
  // seconds per silent mirror.
  void MeasureDomainLatency();

  // The mirror map a reply's "data" states, as the bytes its "signature2" covers
  // (StatementText::MirrorMap2).
  static std::string MirrorMapText(const Json::Value& data);

 private:
  // One entry as it will be written: the record (plain addresses) and the four
  // ciphered address columns.
  struct PendingRow {
    DomainRecord record;
    std::string sourceUrl;
    std::string sourceDomain;
    std::string targetUrl;
    std::string targetDomain;
  };

  // The reply's "signature2" verifies over the mirror map of its "domain_list".
  bool IsSignedByBrand(const Json::Value& data) const;
  // Why the signed map must not replace the stored one ("" when it may).
  std::string Staleness(const Json::Value& data, int64_t storedTime) const;
  // The site an entry states, as statement 2 signs it and the table keeps it.
  static MirrorMapSite SiteOf(const Json::Value& entry, const PayloadCipher& cipher);
  void BuildRow(const MirrorMapSite& site, PendingRow& row) const;
  // `wholeList`: the table is emptied first and the entries only inserted;
  // otherwise they are applied to it (inserted or replaced, or deleted).
  bool ApplyRows(const std::vector<PendingRow>& rows, const std::string& maxTime, bool wholeList);
  bool WriteRow(const PendingRow& row, bool wholeList);
  // The stored "domainlist_latesttime" as a number (0 when missing or unreadable).
  int64_t StoredTime() const;
  std::string EncryptUtf8(const std::string& plain) const;

  UserDatabase& database_;
  const TrustedKeys trustedKeys_;
  const PayloadCipher cipher_;
};

}  // namespace tarvo
