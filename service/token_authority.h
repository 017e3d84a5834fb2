#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::service {

class FormFields;
class DatabaseConnection;
class ServiceDatabase;

// Session tokens: random, stored with their user and expiry time, revoked by logout.
// Stateless apart from the lifetime; every call must run inside
// ServiceDatabase::Read or Write (the database lock serialises them).
class TokenAuthority {
 public:
  explicit TokenAuthority(int64_t lifetimeSeconds) : lifetimeSeconds_(lifetimeSeconds) {}

  // A new token for `userId`, valid until now + lifetime; also forgets the user's
  // expired tokens. Needs Write.
  std::string Issue(DatabaseConnection& db, int64_t userId, int64_t now) const;

  // The user a live token belongs to, or nullopt for an unknown, revoked or expired
  // token.
  std::optional<int64_t> UserOf(DatabaseConnection& db, std::string_view token, int64_t now) const;

  // True when `token` is live and belongs to `userId`.
  bool Matches(DatabaseConnection& db, int64_t userId, std::string_view token, int64_t now) const;

  // The user named by the form's "id" when the form's "token" is live and belongs to
  // that user; nullopt otherwise (missing, malformed, wrong or expired).
  std::optional<int64_t> CheckIdAndToken(DatabaseConnection& db, const FormFields& form, int64_t now) const;

  // Revokes `token`; true when it was live. Needs Write.
  bool Revoke(DatabaseConnection& db, std::string_view token, int64_t now) const;

 private:
  const int64_t lifetimeSeconds_;
};

}  // namespace tarvo::service
