#include "account_endpoints.h"

#include <cctype>
#include <optional>

#include "api_codes.h"
#include "attempt_standing.h"
#include "brand_directory.h"
#include "favorites_document.h"
#include "field_values.h"
#include "form_fields.h"
#include "service_database.h"
#include "socket_address.h"
#include "vpn_connections.h"
#include "write_locks.h"

namespace tarvo::service {

namespace {

constexpr size_t kMaxUserNameBytes = 128;
constexpr size_t kMaxPasswordBytes = 256;

ApiReply WrongCredentials() { return ApiReply::Failure(kCodeUnauthorized, "wrong user name or password"); }
ApiReply BadToken() { return ApiReply::Failure(kCodeUnauthorized, "invalid or expired token"); }
ApiReply TooMany() { return ApiReply::Failure(kCodeTooManyRequests, "too many attempts, try again later"); }

std::string AccountKey(std::string username) {
  for (char& c : username) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return "account:" + username;
}

std::string ClientOf(const RequestContext& request) { return "client:" + ClientKey(request.remoteAddress); }

// Empty when the name is free and the brand known; otherwise the refusal.
std::optional<ApiReply> CheckNewAccount(DatabaseConnection& db, const std::string& username, const std::string& brand) {
  if (!ResolveBrand(db, brand)) {
    return ApiReply::Failure(kCodeNotFound, "unknown brand");
  }
  auto taken = db.Prepare("SELECT 1 FROM users WHERE username=?1");
  taken.Bind(1, username);
  if (taken.Step()) {
    return ApiReply::Failure(kCodeConflict, "user name already registered");
  }
  return std::nullopt;
}

}  // namespace

AccountEndpoints::AccountEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, const PasswordHasher& hasher,
                                   const VpnConnections& connections, ServiceClock clock)
    : db_(db),
      tokens_(tokens),
      hasher_(hasher),
      connections_(connections),
      clock_(std::move(clock)),
      decoyRecord_(hasher.MakeRecord("not a password of anyone")) {}

ApiReply AccountEndpoints::Register(const FormFields& form, const RequestContext& request) const {
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
  const int64_t now = clock_();
  const bool allowed = db_.Write([&](DatabaseConnection& db) {
    // The check and its count are one step for this client in every process.
    WriteLocks::Take(db, {ClientOf(request)});
    if (!registrations_.Allows(db, ClientOf(request), now)) {
      return false;
    }
    registrations_.Count(db, ClientOf(request), now);
    return true;
  });
  if (!allowed) {
    return TooMany();
  }
  if (const auto refusal = db_.Read([&](DatabaseConnection& db) { return CheckNewAccount(db, username, brand); })) {
    return *refusal;
  }
  const std::string record = hasher_.MakeRecord(password);
  return db_.Write([&](DatabaseConnection& db) {
    // Two registrations of one name take turns, so the second is told the name is
    // taken. (Names that differ only in case beyond ASCII take different locks; the
    // unique index still keeps the second one out.)
    WriteLocks::Take(db, {AccountKey(username)});
    if (const auto refusal = CheckNewAccount(db, username, brand)) {
      return *refusal;  // taken while the password was hashed
    }
    const auto resolved = ResolveBrand(db, brand);
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

ApiReply AccountEndpoints::Login(const FormFields& form, const RequestContext& request) const {
  const std::string username = form.Get("username").value_or("");
  const std::string password = form.Get("password").value_or("");
  if (username.empty()) {
    return ApiReply::BadField("username");
  }
  if (password.empty()) {
    return ApiReply::BadField("password");
  }
  const int64_t now = clock_();
  const std::string accountKey = AccountKey(username);
  const std::string clientKey = ClientOf(request);
  const std::string pairKey = accountKey + "\n" + clientKey;
  struct Standing {
    bool allowed = false;
    bool clientFailed = false;
  };
  const Standing standing = db_.Read([&](DatabaseConnection& db) {
    const AttemptStanding counts(db,
                                 {{&pairFailures_, pairKey},
                                  {&clientFailures_, clientKey},
                                  {&accountFailures_, accountKey},
                                  {&slowedPairs_, pairKey}},
                                 now);
    return Standing{counts.Allows(pairFailures_, pairKey) && counts.Allows(clientFailures_, clientKey) &&
                        (counts.Allows(accountFailures_, accountKey) || counts.Allows(slowedPairs_, pairKey)),
                    counts.Attempts(clientFailures_, clientKey) > 0};
  });
  if (!standing.allowed) {
    return TooMany();
  }
  std::unique_lock lane(failedClientsLane_, std::defer_lock);
  if (standing.clientFailed && !lane.try_lock()) {
    return TooMany();
  }
  struct Account {
    int64_t id = 0;
    std::string record;
  };
  const auto account = db_.Read([&](DatabaseConnection& db) -> std::optional<Account> {
    auto query = db.Prepare("SELECT id, password FROM users WHERE username=?1");
    query.Bind(1, username);
    if (!query.Step()) {
      return std::nullopt;
    }
    return Account{query.Int(0), query.Text(1)};
  });
  const bool verified = hasher_.Verify(password, account ? account->record : decoyRecord_) && account;
  if (lane.owns_lock()) {
    lane.unlock();
  }
  if (!verified) {
    db_.Write([&](DatabaseConnection& db) {
      WriteLocks::Take(db, {pairKey, clientKey, accountKey});
      pairFailures_.Count(db, pairKey, now);
      clientFailures_.Count(db, clientKey, now);
      accountFailures_.Count(db, accountKey, now);
      slowedPairs_.Count(db, pairKey, now);
    });
    return WrongCredentials();
  }
  const std::string upgraded = hasher_.NeedsUpgrade(account->record) ? hasher_.MakeRecord(password) : std::string();
  return db_.Write([&](DatabaseConnection& db) {
    // Only this client's failures go: others' on the same account are not undone
    // by the owner logging in meanwhile.
    WriteLocks::Take(db, {pairKey});
    pairFailures_.Clear(db, pairKey);
    slowedPairs_.Clear(db, pairKey);
    if (!upgraded.empty()) {
      db.Prepare("UPDATE users SET password=?1 WHERE id=?2 AND password=?3")
          .Bind(1, upgraded)
          .Bind(2, account->id)
          .Bind(3, account->record)
          .Run();
    }
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
  const auto claimedId = ParseInteger(form.Get("id").value_or(""));
  if (!claimedId) {
    return ApiReply::BadField("id");
  }
  if (form.Get("token").value_or("").empty()) {
    return ApiReply::BadField("token");
  }
  const int64_t now = clock_();
  return db_.Write([&](DatabaseConnection& db) {
    WriteLocks::Take(db, {WriteLocks::OfUser(*claimedId)});
    const auto userId = tokens_.CheckIdAndToken(db, form, now);
    if (!userId) {
      return BadToken();
    }
    tokens_.Revoke(db, *form.Get("token"), now);
    connections_.CloseAllOf(db, *userId, now);
    return ApiReply::Ok();
  });
}

ApiReply AccountEndpoints::UserInfo(const FormFields& form) const {
  const int64_t now = clock_();
  return db_.Read([&](DatabaseConnection& db) {
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
