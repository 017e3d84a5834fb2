#pragma once

#include <string_view>

#include "net/payload_cipher.h"
#include "platform/text.h"
#include "protect/domain_record.h"
#include "store/user_database.h"

namespace tarvo {

// The protected-site list kept in the domainlist table: whether protection is on,
// and the lookups between a site's address (source) and its mirror (target).
// Addresses and hosts are stored ciphered with the payload cipher, which is
// deterministic, so a lookup compares ciphertexts. Only rows whose target_status is
// "1" are used; of several matching rows the one with the lowest ttl wins.
//
// The refresh from the service and the mirror measurement live in their own class
// over the same database; they rebuild the table inside UserDatabase::RunInTransaction,
// so a lookup sees either the old list or the new one.
//
// Threads: any thread; the database's connection mutex guards every query, and the
// object itself holds no mutable state. Holds a non-owning reference to the
// database, which outlives it.
class DomainList {
 public:
  // The process's list, never destroyed: over the database start-up gives
  // CBrowserUrl::UseDatabase, and before that over one that is not open (no site is
  // listed). Process-wide by design: the protected and compatibility sites are the
  // same for every window and profile.
  static DomainList& Instance();
  // Makes Instance() a list over `database` (which is never destroyed); lists handed
  // out before stay valid. CBrowserUrl::UseDatabase calls it.
  static void UseDatabase(UserDatabase& database);

  explicit DomainList(UserDatabase& database) : database_(database) {}

  // True only when "domainlist_enable" can be read and is not "0".
  bool IsDomainListEnabled() const;
  // Stores "1" or "0" in "domainlist_enable". Returns 0, or -1 on failure.
  int SetDomainListEnabled(bool on) const;

  // The mirror address for a site address: by the exact address first, then by its
  // host. False (and `target` untouched) when neither finds a row.
  bool MapSourceToTarget(WStringView address, WString& target) const;
  // The site address for a mirror address, looked up the same way.
  bool MapTargetToSource(WStringView address, WString& source) const;
  // The stored mirror address for a mirror address, looked up the same way (the
  // certificate check compares the two as the engine parses them).
  bool FindTarget(WStringView address, WString& target) const;

  // The full row for a pair of addresses (matched by their hosts), with both
  // addresses decrypted, for the protection windows. False when there is none.
  bool GetProtectRecord(WStringView sourceAddress, WStringView targetAddress, DomainRecord& record) const;

 private:
  // Looks up `address` in the `from` columns (`from`_url, then `from`_domain) and
  // returns the decrypted address of the `to` side.
  bool MapAddress(WStringView address, std::string_view from, std::string_view to, WString& found) const;
  // The first row's ciphered column of a lookup by one ciphered value.
  bool FirstMatch(std::string_view column, std::string_view by, const std::string& cipherText,
                  std::string& found) const;
  bool Encrypt(WStringView plain, std::string& cipherText) const;
  bool Decrypt(const std::string& cipherText, WString& plain) const;

  UserDatabase& database_;
  const PayloadCipher cipher_;
};

}  // namespace tarvo
