#include "account_endpoints.h"

#include "api_codes.h"
#include "brand_directory.h"
#include "favorites_document.h"
#include "field_values.h"
#include "form_fields.h"
#include "service_database.h"

namespace tarvo::service {

namespace {

constexpr size_t kMaxUserNameBytes = 128;
constexpr size_t kMaxPasswordBytes = 256;

ApiReply WrongCredentials() { return ApiReply::Failure(kCodeUnauthorized, "wrong user name or password"); }
ApiReply BadToken() { return ApiReply::Failure(kCodeUnauthorized, "invalid or expired token"); }

}  // namespace

AccountEndpoints::AccountEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, const PasswordHasher& hasher,
                                   ServiceClock clock)
    : db_(db), tokens_(tokens), hasher_(hasher), clock_(std::move(clock)) {}

ApiReply AccountEndpoints::Register(const FormFields& form) const {
  const std::string username = form.Get("username").value_or("");
  const std::string password = form.Get("password").value_or("");
  const std::string brand = form.Get("brand").value_or("");
  if (username.empty() || username.size() > kMaxUserNameBytes || !IsCleanText(username)) {
    return ApiReply::BadField("username");
  }
  if (password.empty() || password.size() > kMaxPasswordBytes) {
    return ApiReply::BadField("password");
  }
  if (brand.empty()) {
    return ApiReply::BadField("brand");
  }
  const std::string record = hasher_.MakeRecord(password);
  const int64_t now = clock_();
  return db_.Write([&](ServiceDatabase& db) {
    const auto resolved = ResolveBrand(db, brand);
    if (!resolved) {
      return ApiReply::Failure(kCodeNotFound, "unknown brand");
    }
    auto taken = db.Prepare("SELECT 1 FROM users WHERE username=?1");
    taken.Bind(1, username);
    if (taken.Step()) {
      return ApiReply::Failure(kCodeConflict, "user name already registered");
    }
    auto defaults = db.Prepare("SELECT default_favorites, signup_vpn_seconds FROM brands WHERE name=?1");
    defaults.Bind(1, *resolved);
    defaults.Step();
    const FavoritesDocument favorites = FavoritesDocument::FromText(defaults.Text(0));
    db.Prepare(
          "INSERT INTO users(username, brand, password, name, sex, status, profile_photo, user_group,"
          " select_permission, vpn_allowed, vpn_seconds, favorites, next_favorite_id, created_at)"
          " VALUES(?1, ?2, ?3, ?1, 0, 1, '', '', 0, 1, ?4, ?5, ?6, ?7)")
        .Bind(1, username)
        .Bind(2, *resolved)
        .Bind(3, record)
        .Bind(4, defaults.Int(1))
        .Bind(5, favorites.ToText())
        .Bind(6, favorites.LargestId() + 1)
        .Bind(7, now)
        .Run();
    return ApiReply::Ok();
  });
}

ApiReply AccountEndpoints::Login(const FormFields& form) const {
  const std::string username = form.Get("username").value_or("");
  const std::string password = form.Get("password").value_or("");
  if (username.empty()) {
    return ApiReply::BadField("username");
  }
  if (password.empty()) {
    return ApiReply::BadField("password");
  }
  struct Account {
    int64_t id = 0;
    std::string record;
  };
  const auto account = db_.Read([&](ServiceDatabase& db) -> std::optional<Account> {
    auto query = db.Prepare("SELECT id, password FROM users WHERE username=?1");
    query.Bind(1, username);
    if (!query.Step()) {
      return std::nullopt;
    }
    return Account{query.Int(0), query.Text(1)};
  });
  if (!account || !hasher_.Verify(password, account->record)) {
    return WrongCredentials();
  }
  const int64_t now = clock_();
  return db_.Write([&](ServiceDatabase& db) {
    auto query = db.Prepare("SELECT user_group, select_permission FROM users WHERE id=?1");
    query.Bind(1, account->id);
    if (!query.Step()) {
      return WrongCredentials();  // removed by a re-seed between the two steps
    }
    Json::Value data(Json::objectValue);
    data["id"] = Json::Int64(account->id);
    data["token"] = tokens_.Issue(db, account->id, now);
    data["user_group"] = query.Text(0);
    data["select_permission"] = query.Int(1) != 0;
    return ApiReply::Ok(data);
  });
}

ApiReply AccountEndpoints::Logout(const FormFields& form) const {
  if (!ParseInteger(form.Get("id").value_or(""))) {
    return ApiReply::BadField("id");
  }
  if (form.Get("token").value_or("").empty()) {
    return ApiReply::BadField("token");
  }
  const int64_t now = clock_();
  return db_.Write([&](ServiceDatabase& db) {
    if (!tokens_.CheckIdAndToken(db, form, now)) {
      return BadToken();
    }
    tokens_.Revoke(db, *form.Get("token"), now);
    return ApiReply::Ok();
  });
}

ApiReply AccountEndpoints::UserInfo(const FormFields& form) const {
  const int64_t now = clock_();
  return db_.Read([&](ServiceDatabase& db) {
    const auto userId = tokens_.CheckIdAndToken(db, form, now);
    if (!userId) {
      return BadToken();
    }
    auto query = db.Prepare("SELECT name, sex, status, profile_photo FROM users WHERE id=?1");
    query.Bind(1, *userId);
    if (!query.Step()) {
      return BadToken();
    }
    Json::Value data(Json::objectValue);
    data["name"] = query.Text(0);
    data["sex"] = Json::Int64(query.Int(1));
    data["status"] = Json::Int64(query.Int(2));
    data["profile_photo"] = query.Text(3);
    return ApiReply::Ok(data);
  });
}

}  // namespace tarvo::service
