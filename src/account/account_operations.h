#pragma once

#include <cstdint>
#include <optional>

#include "account/account_state.h"
#include "platform/text.h"
#include "store/info_records.h"

namespace tarvo {

// Logging in, out and registering with the service, and keeping the login across
// restarts for twelve hours (the "vpn..." info values). Results land in the
// AccountState it is given.
//
// Every operation that asks the service blocks until it answers or the request's
// time limit passes, so the interface runs them on the AccountTaskQueue. The
// password is only ever put into the request body: it is never stored, logged or
// kept in memory beyond the call.
//
// Threads: any thread, one operation at a time per process (the task queue runs
// them in order; the service loop runs CheckLogin through the queue as well).
// Holds non-owning references to the account state and the database, which outlive it.
class AccountOperations {
 public:
  // A stored login older than this is no longer valid.
  static constexpr int64_t kLoginLifetimeSeconds = 43200;
  static constexpr int64_t kCodeRefused = 403;

  AccountOperations(AccountState& account, UserDatabase& database)
      : account_(account), database_(database), info_(database) {}

  // Switches any VPN connection off, then logs in: 0, and the user in AccountState
  // and the info table; -1 when the service could not be reached or refused, with
  // the stored login left as it was.
  int Login(const WString& name, const WString& password);
  // Switches any VPN connection off and ends the login here whatever the service
  // answers (the user asked to leave): the stored token, id and time are emptied and
  // the user forgotten. The service is told now, or, when it cannot be reached, by
  // SendPendingLogout later. 0 when the service was told, -1 when it was not (yet).
  int Logout();
  // Tells the service of a log-out it could not hear at the time; nothing when none
  // is pending. The service loop calls it every round.
  void SendPendingLogout();
  // 0 when the service created the account, -1 otherwise.
  int Register(const WString& name, const WString& password);
  // Fills the user's profile in AccountState; 0, or -1.
  int GetUserInfo(const WString& id, const WString& token);
  // Restores and confirms the stored login: false at once, without a request, when
  // the login time is missing or more than kLoginLifetimeSeconds old, or the id,
  // name or token is empty; otherwise asks for the user's profile, and only when the
  // service answers puts the stored user into AccountState. A stale or incomplete
  // login, or one the service refuses, forgets the user in AccountState (the stored
  // values stay); a service that gives no usable answer leaves AccountState as it
  // was, so an outage does not log the user out of a running browser (their
  // favourites would give way to the anonymous ones meanwhile).
  bool CheckLogin();
  // Whether `account` holds a user whose login is younger than
  // kLoginLifetimeSeconds. Never asks the service; cheap enough for the engine's
  // proxy challenges on the interface thread.
  static bool HoldsFreshLogin(const AccountState& account);

 private:
  enum class Answer { kYes, kNo, kNone };
  // GetUserInfo, telling a refusal from no usable answer at all.
  Answer AskUserInfo(const WString& id, const WString& token);
  std::optional<WString> ReadInfo(WStringView key) const;

  AccountState& account_;
  UserDatabase& database_;
  InfoRecords info_;
};

}  // namespace tarvo
