#pragma once

#include <functional>
#include <optional>

#include "api_reply.h"
#include "service_clock.h"
#include "token_authority.h"

namespace tarvo::service {

class FavoritesDocument;
class FormFields;
class ServiceDatabase;

// "app/v1.0/default_fav", "list_user_fav", "add_fav_item", "update_fav_item" and
// "del_user_fav".
//
// Threads: any request thread; no state of its own. Each change reads, edits and
// writes the user's document inside one database transaction, so concurrent clients
// of one account never lose each other's changes.
class FavoritesEndpoints {
 public:
  // `db` and `tokens` must outlive this object.
  FavoritesEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, ServiceClock clock);

  // brand → "data": the brand's default document.
  ApiReply Defaults(const FormFields& form) const;
  // token, brand → "data": {"favor": the user's document}.
  ApiReply List(const FormFields& form) const;
  // token, brand, data (one item) → "data": [the stored item with the service's id].
  ApiReply Add(const FormFields& form) const;
  // token, brand, data (one item) → replaces the stored item; 404 when none matches.
  ApiReply Update(const FormFields& form) const;
  // token, brand, data ("[" ids "]") → "data": {"deleted": ids removed}.
  ApiReply Delete(const FormFields& form) const;

 private:
  using DocumentEdit = std::function<ApiReply(FavoritesDocument& document, int64_t& nextId)>;

  // The item in the form's "data", checked; a refusal when it is missing or invalid.
  static std::optional<ApiReply> ReadItem(const FormFields& form, Json::Value& item);
  // Runs `edit` on the document of the form's token's user in one transaction and
  // stores the result when the edit succeeds; 401 for a bad token.
  ApiReply EditWithToken(const FormFields& form, int64_t now, const DocumentEdit& edit) const;

  ServiceDatabase& db_;
  const TokenAuthority& tokens_;
  const ServiceClock clock_;
};

}  // namespace tarvo::service
