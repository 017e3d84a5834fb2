#include "token_authority.h"

#include "field_values.h"
#include "form_fields.h"
#include "secure_random.h"
#include "service_database.h"

namespace tarvo::service {

namespace {
constexpr size_t kTokenBytes = 32;
}

std::string TokenAuthority::Issue(DatabaseConnection& db, int64_t userId, int64_t now) const {
  db.Prepare("DELETE FROM tokens WHERE user_id=?1 AND expires_at<=?2").Bind(1, userId).Bind(2, now).Run();
  const std::string token = RandomHex(kTokenBytes);
  db.Prepare("INSERT INTO tokens(token, user_id, expires_at) VALUES(?1, ?2, ?3)")
      .Bind(1, token)
      .Bind(2, userId)
      .Bind(3, now + lifetimeSeconds_)
      .Run();
  return token;
}

std::optional<int64_t> TokenAuthority::UserOf(DatabaseConnection& db, std::string_view token, int64_t now) const {
  if (token.empty()) {
    return std::nullopt;
  }
  auto query = db.Prepare("SELECT user_id FROM tokens WHERE token=?1 AND expires_at>?2");
  query.Bind(1, token).Bind(2, now);
  if (!query.Step()) {
    return std::nullopt;
  }
  return query.Int(0);
}

bool TokenAuthority::Matches(DatabaseConnection& db, int64_t userId, std::string_view token, int64_t now) const {
  const auto owner = UserOf(db, token, now);
  return owner && *owner == userId;
}

std::optional<int64_t> TokenAuthority::CheckIdAndToken(DatabaseConnection& db, const FormFields& form,
                                                       int64_t now) const {
  const auto id = ParseInteger(form.Get("id").value_or(""));
  const auto token = form.Get("token");
  if (!id || !token || !Matches(db, *id, *token, now)) {
    return std::nullopt;
  }
  return id;
}

bool TokenAuthority::Revoke(DatabaseConnection& db, std::string_view token, int64_t now) const {
  const bool live = UserOf(db, token, now).has_value();
  db.Prepare("DELETE FROM tokens WHERE token=?1").Bind(1, token).Run();
  return live;
}

}  // namespace tarvo::service
