#pragma once

#include <string>
#include <vector>

#include <json/value.h>

#include "net/payload_cipher.h"
#include "net/trusted_keys.h"
#include "protect/domain_record.h"
#include "store/user_database.h"

namespace tarvo {

// Refreshes the protected-site list from the service and measures the mirrors.
// The whole rebuild (emptying the table, applying the entries, recording
// "domainlist_latesttime") is one transaction: a reply that is unusable, or a
// failure part-way, leaves the previous list exactly as it was.
//
// Threads: runs on the background service thread; lookups on other threads see the
// old list or the new one (the database serialises transactions). Holds a
// non-owning reference to the database, which outlives it.
class DomainListSync {
 public:
  // The address the service uses as a placeholder for the browser's own account
  // centre; entries with this source are stored under the internal scheme instead.
  static constexpr const char* kUserCenterMarker = "http://usercenter.tarvo.invalid/";

  // `trustedKeys`: the brand's public keys the list must be signed with (by default
  // the browser's own, "app/service_keys").
  explicit DomainListSync(UserDatabase& database, TrustedKeys trustedKeys = TrustedKeys::OfThisBrowser())
      : database_(database), trustedKeys_(std::move(trustedKeys)) {}

  // One full download of the list (POST "app/v1.0/domain_list"). 0, or -1 on a
  // transport failure, an unparsable or refused reply, a "domain_list" that is not
  // an array, a mirror map that is not signed by one of the brand's keys (also said
  // on standard error), or a database failure; on -1 nothing has changed.
  int SyncDomainList();

  // Pings every active mirror once and stores the reply's time-to-live as the row's
  // ttl (0 when no reply came, 65535 when the mirror has no host). Blocks up to two
  // seconds per silent mirror.
  void MeasureDomainLatency();

  // The mirror map a reply's "data" states, as the bytes its "signature" covers.
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

  // The reply's "signature" verifies over the mirror map of its "domain_list".
  bool IsSignedByBrand(const Json::Value& data) const;
  bool BuildRow(const Json::Value& entry, PendingRow& row) const;
  bool ApplyRows(const std::vector<PendingRow>& rows, const std::string& maxTime);
  bool WriteRow(const PendingRow& row);
  std::string EncryptUtf8(const std::string& plain) const;

  UserDatabase& database_;
  const TrustedKeys trustedKeys_;
  const PayloadCipher cipher_;
};

}  // namespace tarvo
