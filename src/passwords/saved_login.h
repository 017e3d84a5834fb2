#pragma once

#include "platform/text.h"

namespace tarvo {

// One saved log-in of a site, as the keyring keeps it: the site's origin (scheme,
// host and port; a mirror's site, never the mirror), the user name, the password,
// and whether the page it came from was itself loaded over https (an entry taken on
// a secure page is never given to an insecure one). Plain data.
struct SavedLogin {
  WString origin;
  WString username;
  WString password;
  bool fromSecurePage = false;

  friend bool operator==(const SavedLogin&, const SavedLogin&) = default;
};

}  // namespace tarvo
