#pragma once

#include "api_reply.h"
#include "password_hasher.h"
#include "service_clock.h"
#include "token_authority.h"

namespace tarvo::service {

class FormFields;
class ServiceDatabase;

// "app/v1.0/register", "login", "logout" and "user_info".
//
// Threads: called from any request thread at once; holds no mutable state of its own
// and works through the database, whose lock serialises the storage steps. Password
// hashing runs outside that lock so slow hashes do not stall other requests.
class AccountEndpoints {
 public:
  // `db`, `tokens` and `hasher` must outlive this object.
  AccountEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, const PasswordHasher& hasher,
                   ServiceClock clock);

  // username, password, brand → a new account of that brand, starting with the
  // brand's default favourites. 409 when the name is taken (names compare without
  // regard to ASCII case), 404 for a brand the seed does not know.
  ApiReply Register(const FormFields& form) const;
  // username, password → "id", "token", "user_group", "select_permission"; 401 when
  // the name or password is wrong.
  ApiReply Login(const FormFields& form) const;
  // id, token → revokes the token; 401 when it was not live.
  ApiReply Logout(const FormFields& form) const;
  // id, token → "name", "sex", "status", "profile_photo"; 401 for a bad token.
  ApiReply UserInfo(const FormFields& form) const;

 private:
  ServiceDatabase& db_;
  const TokenAuthority& tokens_;
  const PasswordHasher& hasher_;
  const ServiceClock clock_;
};

}  // namespace tarvo::service
