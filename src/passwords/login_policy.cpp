#include "passwords/login_policy.h"

#include <algorithm>

namespace tarvo {

LoginOffer LoginPolicy::OfferFor(const WString& username, const WString& password, bool fieldsVisible,
                                 const std::vector<SavedLogin>& saved, bool never) {
  if (password.empty() || !fieldsVisible || never) return LoginOffer::kNone;
  for (const SavedLogin& login : saved) {
    if (login.username == username) return login.password == password ? LoginOffer::kNone : LoginOffer::kUpdate;
  }
  return LoginOffer::kSave;
}

std::vector<SavedLogin> LoginPolicy::Fillable(const LoginSite& site, const std::vector<SavedLogin>& saved) {
  std::vector<SavedLogin> fillable;
  for (const SavedLogin& login : saved) {
    // An insecure page could hand what it is given to anyone on the way.
    if (login.origin == site.origin && (site.secure || !login.fromSecurePage)) fillable.push_back(login);
  }
  // Listed by name, as the user looks for one.
  std::sort(fillable.begin(), fillable.end(), [](const SavedLogin& a, const SavedLogin& b) { return a.username < b.username; });
  return fillable;
}

}  // namespace tarvo
