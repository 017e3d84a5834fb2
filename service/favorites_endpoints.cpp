#include "favorites_endpoints.h"

#include <functional>
#include <optional>

#include "api_codes.h"
#include "brand_directory.h"
#include "favorites_document.h"
#include "form_fields.h"
#include "json_text.h"
#include "service_database.h"
#include "write_locks.h"

namespace tarvo::service {

namespace {

ApiReply BadToken() { return ApiReply::Failure(kCodeUnauthorized, "invalid or expired token"); }

// The item a form carries in "data". Browsers that do not encode their bodies cut an
// item whose address contains "&" into several fields; "data" always comes last, so
// the raw rest of the body is the whole item when the decoded field does not parse.
std::optional<Json::Value> ItemFromForm(const FormFields& form) {
  if (const auto decoded = ParseJson(form.Get("data").value_or(""))) {
    return decoded;
  }
  if (const auto raw = form.RawTail("data")) {
    return ParseJson(*raw);
  }
  return std::nullopt;
}

// Loads the user's document, lets `edit` change it and stores it again, all inside
// the caller's transaction.
ApiReply EditDocument(DatabaseConnection& db, int64_t userId,
                      const std::function<ApiReply(FavoritesDocument&, int64_t&)>& edit) {
  auto query = db.Prepare("SELECT favorites, next_favorite_id FROM users WHERE id=?1");
  query.Bind(1, userId);
  if (!query.Step()) {
    return BadToken();
  }
  FavoritesDocument document = FavoritesDocument::FromText(query.Text(0));
  int64_t nextId = std::max(query.Int(1), document.LargestId() + 1);
  ApiReply reply = edit(document, nextId);
  if (reply.code() == kCodeOk) {
    db.Prepare("UPDATE users SET favorites=?1, next_favorite_id=?2 WHERE id=?3")
        .Bind(1, document.ToText())
        .Bind(2, nextId)
        .Bind(3, userId)
        .Run();
  }
  return reply;
}

}  // namespace

FavoritesEndpoints::FavoritesEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, ServiceClock clock)
    : db_(db), tokens_(tokens), clock_(std::move(clock)) {}

ApiReply FavoritesEndpoints::Defaults(const FormFields& form) const {
  return AnswerForBrand(db_, form.Get("brand").value_or(""), [](DatabaseConnection& db, const std::string& brand) {
    auto query = db.Prepare("SELECT default_favorites FROM brands WHERE name=?1");
    query.Bind(1, brand);
    query.Step();
    return ApiReply::Ok(FavoritesDocument::FromText(query.Text(0)).items());
  });
}

ApiReply FavoritesEndpoints::List(const FormFields& form) const {
  const int64_t now = clock_();
  return db_.Read([&](DatabaseConnection& db) {
    const auto userId = tokens_.UserOf(db, form.Get("token").value_or(""), now);
    if (!userId) {
      return BadToken();
    }
    auto query = db.Prepare("SELECT favorites FROM users WHERE id=?1");
    query.Bind(1, *userId);
    if (!query.Step()) {
      return BadToken();
    }
    Json::Value data(Json::objectValue);
    data["favor"] = FavoritesDocument::FromText(query.Text(0)).items();
    return ApiReply::Ok(data);
  });
}

ApiReply FavoritesEndpoints::Add(const FormFields& form) const {
  Json::Value item;
  if (const auto refusal = ReadItem(form, item)) {
    return *refusal;
  }
  const int64_t now = clock_();
  return EditWithToken(form, now, [&](FavoritesDocument& document, int64_t& nextId) {
    Json::Value stored(Json::arrayValue);
    stored.append(document.Add(item, nextId, now));
    return ApiReply::Ok(stored);
  });
}

ApiReply FavoritesEndpoints::Update(const FormFields& form) const {
  Json::Value item;
  if (const auto refusal = ReadItem(form, item)) {
    return *refusal;
  }
  return EditWithToken(form, clock_(), [&](FavoritesDocument& document, int64_t&) {
    return document.Update(item) ? ApiReply::Ok() : ApiReply::Failure(kCodeNotFound, "no such favourite");
  });
}

ApiReply FavoritesEndpoints::Delete(const FormFields& form) const {
  const auto list = ParseJson(form.Get("data").value_or(""));
  if (!list || !list->isArray()) {
    return ApiReply::BadField("data");
  }
  std::vector<std::string> ids;
  for (const Json::Value& id : *list) {
    // A number past the signed range is nobody's id, but no reason to fail the
    // whole request (asLargestInt() would throw on it).
    if (id.isInt64()) {
      ids.push_back(std::to_string(id.asInt64()));
    } else if (id.isUInt64()) {
      ids.push_back(std::to_string(id.asUInt64()));
    } else if (id.isString()) {
      ids.push_back(id.asString());
    } else {
      return ApiReply::BadField("data");
    }
  }
  return EditWithToken(form, clock_(), [&](FavoritesDocument& document, int64_t&) {
    Json::Value data(Json::objectValue);
    data["deleted"] = Json::Value(Json::arrayValue);
    for (const std::string& id : document.Remove(ids)) {
      data["deleted"].append(id);
    }
    return ApiReply::Ok(data);
  });
}

std::optional<ApiReply> FavoritesEndpoints::ReadItem(const FormFields& form, Json::Value& item) {
  const auto parsed = ItemFromForm(form);
  if (!parsed) {
    return ApiReply::BadField("data");
  }
  std::string error;
  if (!FavoritesDocument::Validate(*parsed, false, error)) {
    return ApiReply::Failure(kCodeBadRequest, error);
  }
  item = *parsed;
  return std::nullopt;
}

ApiReply FavoritesEndpoints::EditWithToken(const FormFields& form, int64_t now, const DocumentEdit& edit) const {
  return db_.Write([&](DatabaseConnection& db) {
    const auto userId = tokens_.UserOf(db, form.Get("token").value_or(""), now);
    if (!userId) {
      return BadToken();
    }
    // Edits of one document take turns, whichever process got them: each reads the
    // document (and its next id) the last one stored, so none is lost and no id is
    // handed out twice.
    WriteLocks::Take(db, {WriteLocks::OfUser(*userId)});
    return EditDocument(db, *userId, edit);
  });
}

}  // namespace tarvo::service
