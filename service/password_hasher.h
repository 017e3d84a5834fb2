#pragma once

#include <string>
#include <string_view>

namespace tarvo::service {

// Salted PBKDF2-HMAC-SHA256 password records. A record is self-describing text,
// "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>", so records made with another
// iteration count keep verifying after the count changes. Stateless apart from the
// iteration count: any thread.
class PasswordHasher {
 public:
  explicit PasswordHasher(int iterations) : iterations_(iterations) {}

  // A new record with a fresh random salt. Throws ServiceError when OpenSSL fails.
  std::string MakeRecord(std::string_view password) const;

  // True when `password` matches `record`; false for a wrong password and for a
  // record that is not in the format above. Compares in constant time.
  bool Verify(std::string_view password, std::string_view record) const;

  // True when `record` was made with fewer iterations than this hasher uses (or is
  // not a record at all): after a successful log-in it is made again.
  bool NeedsUpgrade(std::string_view record) const;

 private:
  const int iterations_;
};

}  // namespace tarvo::service
