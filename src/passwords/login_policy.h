#pragma once

#include <vector>

#include "passwords/login_site.h"
#include "passwords/saved_login.h"

namespace tarvo {

// What the browser offers after a log-in form was sent.
enum class LoginOffer { kNone, kSave, kUpdate };

// The rules of offering and filling, apart from the keyring and the windows.
//
// Threads: any; pure functions.
class LoginPolicy {
 public:
  // After a form was sent with `username` and `password` on a page of a site whose
  // saved log-ins are `saved` (and `never` when the site is marked "never"):
  // nothing for an empty password, for fields the user could not see, or a site
  // marked "never"; nothing when the user name is saved with this password; an
  // update when it is saved with another; else a save.
  static LoginOffer OfferFor(const WString& username, const WString& password, bool fieldsVisible,
                             const std::vector<SavedLogin>& saved, bool never);

  // The saved log-ins that may be filled into a page of `site`: its origin's, less
  // those taken on a secure page when this page is not secure; by user name.
  static std::vector<SavedLogin> Fillable(const LoginSite& site, const std::vector<SavedLogin>& saved);
};

}  // namespace tarvo
