#pragma once

#include <vector>

#include "passwords/saved_login.h"

namespace tarvo {

// How a keyring call went: done, no keyring service answers (nothing can be kept),
// or the service answered with a refusal (a locked keyring whose unlocking was
// dismissed, a denied access).
enum class KeyringResult { kDone, kUnavailable, kFailed };

// Where saved log-ins are kept: one item per origin and user name, plus a "never for
// this site" mark per origin. Each call blocks until the keyring has answered.
//
// Threads: one thread at a time (PasswordKeeper calls it from its worker only).
class IPasswordKeyring {
 public:
  virtual ~IPasswordKeyring() = default;

  // Adds the log-in or replaces the one of its origin and user name.
  virtual KeyringResult Store(const SavedLogin& login) = 0;
  // The log-ins of `origin`, with their passwords.
  virtual KeyringResult Find(const WString& origin, std::vector<SavedLogin>& logins) = 0;
  // Every saved log-in without its password, and the origins marked "never".
  virtual KeyringResult List(std::vector<SavedLogin>& logins, std::vector<WString>& neverOrigins) = 0;
  // The password of one log-in; kFailed when there is none.
  virtual KeyringResult Reveal(const WString& origin, const WString& username, WString& password) = 0;
  virtual KeyringResult Remove(const WString& origin, const WString& username) = 0;
  // Marks `origin` as never to be offered, or asks whether it is.
  virtual KeyringResult MarkNever(const WString& origin) = 0;
  virtual KeyringResult IsNever(const WString& origin, bool& never) = 0;
  virtual KeyringResult UnmarkNever(const WString& origin) = 0;
  // Every log-in and every mark.
  virtual KeyringResult RemoveAll() = 0;
};

}  // namespace tarvo
