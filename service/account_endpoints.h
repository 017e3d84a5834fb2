#pragma once

#include <mutex>
#include <string>

#include "api_reply.h"
#include "attempt_limiter.h"
#include "password_hasher.h"
#include "request_context.h"
#include "service_clock.h"
#include "token_authority.h"

namespace tarvo::service {

class FormFields;
class ServiceDatabase;
class VpnConnections;

// "app/v1.0/register", "login", "logout" and "user_info".
//
// Failed log-ins are limited per account and client (ClientKey of its address):
// kLoginFailures per kLoginWindowSeconds lock that pair, so a guesser locks only
// itself out and the owner still logs in from elsewhere. An account that meets
// kAccountFailures from everywhere together is slowed, not locked: each client may
// then fail on it once per kSlowedSeconds. A client is also stopped after
// kClientFailures on any accounts, and registrations are limited per client. Past
// a limit the answer is 429 without a password hash being computed. Clients that
// have failed within the window hash one at a time, all together (another such
// client meanwhile gets 429): guessers from many addresses take one core at most,
// and those who log in right are not kept waiting behind their hashes. An unknown
// user name costs the same hash as a wrong password, so the time of the answer
// does not tell which names exist.
//
// Threads: called from any request thread at once; the attempt counts guard
// themselves, and the storage steps go through the database, where the writes of
// one account or client take turns (WriteLocks). Password hashing runs outside that lock so slow hashes do not stall other
// requests.
class AccountEndpoints {
 public:
  static constexpr int kLoginFailures = 10;
  static constexpr int kAccountFailures = 100;
  static constexpr int kClientFailures = 50;
  static constexpr int64_t kLoginWindowSeconds = 15 * 60;
  static constexpr int64_t kSlowedSeconds = 60;
  static constexpr int kRegistrations = 20;
  static constexpr int64_t kRegistrationWindowSeconds = 60 * 60;

  // `db`, `tokens`, `hasher` and `connections` must outlive this object. Makes one
  // password record (for unknown names), which takes a hash's time.
  AccountEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, const PasswordHasher& hasher,
                   const VpnConnections& connections, ServiceClock clock);

  // username, password, brand → a new account of that brand, starting with the
  // brand's default favourites. 409 when the name is taken (names compare without
  // regard to ASCII case), 404 for a brand the seed does not know; both are found
  // before the password is hashed.
  ApiReply Register(const FormFields& form, const RequestContext& request) const;
  // username, password → "id", "token", "user_group", "select_permission"; 401 when
  // the name or password is wrong. A record made with fewer iterations than the
  // hasher's is made again.
  ApiReply Login(const FormFields& form, const RequestContext& request) const;
  // id, token → revokes the token and closes the user's VPN connections; 401 when
  // the token was not live.
  ApiReply Logout(const FormFields& form) const;
  // id, token → "name", "sex", "status", "profile_photo"; 401 for a bad token.
  ApiReply UserInfo(const FormFields& form) const;

 private:
  ServiceDatabase& db_;
  const TokenAuthority& tokens_;
  const PasswordHasher& hasher_;
  const VpnConnections& connections_;
  const ServiceClock clock_;
  const std::string decoyRecord_;  // verified against for unknown names
  const AttemptLimiter pairFailures_{"login_pair", kLoginFailures, kLoginWindowSeconds};
  const AttemptLimiter accountFailures_{"login_account", kAccountFailures, kLoginWindowSeconds};
  const AttemptLimiter clientFailures_{"login_client", kClientFailures, kLoginWindowSeconds};
  const AttemptLimiter slowedPairs_{"login_slowed", 1, kSlowedSeconds};
  mutable std::mutex failedClientsLane_;  // held while a client with failures hashes
  const AttemptLimiter registrations_{"registration", kRegistrations, kRegistrationWindowSeconds};
};

}  // namespace tarvo::service
